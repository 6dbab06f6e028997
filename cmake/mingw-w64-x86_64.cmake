# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads),
# linked statically so each .exe runs on a bare Windows:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Stripped: the programs are what a Windows user gets, and the tests' debug
# information is of no use under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s")
# CTest runs the test executables through Wine.
find_program(VELMORA_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(VELMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_WINE})
endif()
