#include "platform/window_functions_windows.h"

#include <windows.h>

#include <string>

namespace velmora {
namespace {

// Window handles are 32 bits wide on every Windows, so they fit the handle
// type the host link passes around.
HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }

}  // namespace

std::optional<WindowHandle> Win32WindowFunctions::findTopLevelWindow(std::u16string_view title) {
    const std::wstring text(title.begin(), title.end());
    HWND window = ::FindWindowW(nullptr, text.c_str());
    if (!window) return std::nullopt;
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

bool Win32WindowFunctions::isWindowEnabled(WindowHandle window) { return ::IsWindowEnabled(toHwnd(window)) != FALSE; }

bool Win32WindowFunctions::setForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(toHwnd(window)) != FALSE;
}

bool Win32WindowFunctions::isEscapeKeyDown() { return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

void Win32WindowFunctions::sleepMilliseconds(std::uint32_t ms) { ::Sleep(ms); }

std::uint32_t Win32WindowFunctions::tickCount() { return ::GetTickCount(); }

void Win32WindowFunctions::processMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace velmora
