// velmora-window-drive.exe: reads and drives the window of another process
// with window messages, as a user's input reaches it, for the screenshot
// test. Commands (TITLE is the window's caption):
//   wait TITLE SECONDS   until the window exists (exit 1 when it does not)
//   facts TITLE          every control: class, position in the window, text
//   tab TITLE N          selects tab N with the arrow keys, as a user does
//   close TITLE          closes the window
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "platform/utf.h"

namespace {

std::wstring wideOf(const char* text) {
    const std::u16string s = velmora::utf8ToUtf16(text);
    return std::wstring(s.begin(), s.end());
}

std::string utf8Of(const std::wstring& text) {
    return velmora::utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

BOOL CALLBACK printFact(HWND window, LPARAM form) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, reinterpret_cast<HWND>(form), reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s %ld,%ld,%ld,%ld %s\n", utf8Of(name).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                utf8Of(text).c_str());
    return TRUE;
}

HWND tabsOf(HWND form) {
    HWND found = nullptr;
    ::EnumChildWindows(
        form,
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (std::wstring(name) != WC_TABCONTROLW) return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int selectTab(HWND form, int index) {
    HWND tabs = tabsOf(form);
    if (!tabs) return 1;
    for (int step = 0; step < 8; ++step) {
        const int current = static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        if (current == index) return 0;
        const WPARAM key = current < index ? VK_RIGHT : VK_LEFT;
        ::PostMessageW(tabs, WM_KEYDOWN, key, 1);
        ::PostMessageW(tabs, WM_KEYUP, key, 1 | 3u << 30);
        ::Sleep(300);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: velmora-window-drive wait|facts|tab|close TITLE [N]\n", stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::wstring title = wideOf(argv[2]);
    if (command == "wait") {
        const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
        for (int i = 0; i < seconds * 10; ++i) {
            if (HWND form = ::FindWindowW(nullptr, title.c_str()); form && ::IsWindowVisible(form)) return 0;
            ::Sleep(100);
        }
        return 1;
    }
    HWND form = ::FindWindowW(nullptr, title.c_str());
    if (!form) {
        std::fputs("velmora-window-drive: no such window\n", stderr);
        return 1;
    }
    if (command == "facts") return ::EnumChildWindows(form, printFact, reinterpret_cast<LPARAM>(form)), 0;
    if (command == "tab" && argc > 3) return selectTab(form, std::atoi(argv[3]));
    if (command == "close") return ::PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
    std::fputs("velmora-window-drive: unknown command\n", stderr);
    return 2;
}
