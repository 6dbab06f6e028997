#!/usr/bin/env bash
# Builds Velmora and runs every test:
#   1. build/       everything, then CTest
#   2. build-asan/  the layers below the window with AddressSanitizer and
#                   UndefinedBehaviorSanitizer, then CTest
#   3. build-fuzz/  every libFuzzer target (clang) for a short smoke run,
#                   FUZZ_SECONDS each (default 30)
#   4. build-windows/  the Windows build (mingw-w64), its tests under Wine,
#                   when the packages for it can be installed
# Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SECONDS=${FUZZ_SECONDS:-30}
# Widget tests draw off screen unless the caller chose a display platform.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

scripts/install-deps.sh

passed=0
failed=0
skipped=0
# The closing line, however the run ends.
windows="Windows build not reached"
trap 'echo "run-tests: $passed passed, $failed failed, $skipped skipped; $windows"' EXIT

# Runs CTest in $1 and adds its counts to the totals.
run_ctest() {
  local log="$1/ctest.log"
  local status=0
  ctest --test-dir "$1" --output-on-failure 2>&1 | tee "$log" || status=$?
  local line skips
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
  skips=$(grep -cE '\(Skipped\)$' "$log" || true)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1] - skips))
    skipped=$((skipped + skips))
  fi
  if (( status != 0 )); then
    echo "run-tests: CTest failed in $1"
    exit "$status"
  fi
}

echo "== build/: everything"
cmake -S . -B build
cmake --build build -j2
run_ctest build

echo "== build-asan/: tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_APP=OFF -DVELMORA_BENCH=OFF
cmake --build build-asan -j2
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1} \
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp} \
  run_ctest build-asan

echo "== build-fuzz/: libFuzzer smoke, ${FUZZ_SECONDS}s per target"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVELMORA_FUZZ=ON -DVELMORA_BUILD_APP=OFF
cmake --build build-fuzz -j2 --target velmora_fuzzers
mkdir -p build-fuzz/logs
for fuzzer in build-fuzz/bin/fuzz_*; do
  name=$(basename "$fuzzer")
  log=build-fuzz/logs/$name.log
  if scripts/fuzz.sh --no-build "$name" "$FUZZ_SECONDS" >"$log" 2>&1; then
    echo "$name: ok, $(grep -Eo 'Done [0-9]+ runs' "$log" | tail -1)"
    passed=$((passed + 1))
  else
    echo "$name: FAILED (log: $log)"
    tail -n 40 "$log"
    failed=$((failed + 1))
    exit 1
  fi
done

echo "== build-windows/: the Windows build, its tests under Wine"
if scripts/install-deps.sh --windows; then
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
  cmake --build build-windows -j2
  # A private Wine prefix, without the prompts for Mono and Gecko, whose
  # windows need no display; Wine's own messages (its start-up in a new
  # prefix, its debug channels) stay out of the log, so that a "failed" in it
  # is a failure of ours.
  export WINEPREFIX=$PWD/build-windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -f $WINEPREFIX/system.reg ]] || wineboot -i >build-windows/wine-prefix.log 2>&1 || true
  scripts/wine-prefix.sh
  run_ctest build-windows
  # velmora-tool.exe against this build's velmora-tool on the bundled item lists.
  if VELMORA_WINDOWS_TOOL=$PWD/build-windows/bin/velmora-tool.exe build/bin/tools_tests --gtest_filter='WindowsTool.*'; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    exit 1
  fi
  # velmora.exe on a virtual display: both tabs, read back from another process.
  if scripts/windows-screenshot.sh build-windows; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    exit 1
  fi
  windows="Windows build tested under Wine"
else
  windows="no Windows build: its packages could not be installed"
fi
