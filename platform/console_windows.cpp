#include "platform/console.h"

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string_view>

#include "platform/utf.h"

namespace velmora {

// argv holds the arguments in the ANSI code page, which cannot hold every
// file name; the wide command line can.
std::vector<std::string> commandLineArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide[i]))));
    ::LocalFree(wide);
    return arguments;
}

void useBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace velmora
