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

namespace {

// The console's output code page set to UTF-8 for the life of the program,
// and back to the user's when it ends, so the console is left as found.
class Utf8Console {
public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) {
        if (previous_ != 0 && previous_ != CP_UTF8) ::SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (previous_ != 0 && previous_ != CP_UTF8) ::SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT previous_;
};

bool isConsole(DWORD stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

}  // namespace

void useBinaryStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    if (isConsole(STD_OUTPUT_HANDLE) || isConsole(STD_ERROR_HANDLE)) static Utf8Console console;
}

}  // namespace velmora
