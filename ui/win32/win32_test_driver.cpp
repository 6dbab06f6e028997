// The test driver over window messages: mouse and key messages sent to the
// controls' windows as the system sends a user's input, so the controls
// themselves decide what they notify.
#include <windows.h>
#include <commctrl.h>

#include "ui/test_driver.h"
#include "ui/win32/win32_native.h"

namespace velmora::drive {
namespace {

UINT virtualKey(Key key) {
    switch (key) {
        case Key::Down: return VK_DOWN;
        case Key::Up: return VK_UP;
        case Key::Home: return VK_HOME;
        case Key::End: return VK_END;
        case Key::PageUp: return VK_PRIOR;
        case Key::PageDown: return VK_NEXT;
        case Key::Escape: return VK_ESCAPE;
        case Key::Tab: return VK_TAB;
    }
    return 0;
}

LPARAM at(POINT p) { return MAKELPARAM(p.x, p.y); }

POINT centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void mouseClick(HWND window, POINT p) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(p));
    ::SendMessageW(window, WM_LBUTTONUP, 0, at(p));
    processMessages();
}

RECT itemRect(HWND list, int row) {
    ::SendMessageW(list, LB_SETTOPINDEX, row, 0);
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return r;
}

// Key messages go through the queue, where the message pump sees them as it
// sees a user's keys (dialog keys, the Escape key's state).
void postKey(HWND window, UINT message, Key key) {
    const UINT vk = virtualKey(key);
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM flags = 1 | static_cast<LPARAM>(scan) << 16;
    if (message == WM_KEYUP) flags |= static_cast<LPARAM>(3) << 30;
    ::PostMessageW(window, message, vk, flags);
    processMessages();
}

}  // namespace

void click(TControl& control) {
    HWND window = windowOf(control);
    if (control.native().kind == ControlKind::Button || control.native().kind == ControlKind::CheckBox) {
        ::SendMessageW(window, BM_CLICK, 0, 0);
        processMessages();
        return;
    }
    RECT r;
    ::GetClientRect(window, &r);
    mouseClick(window, centre(r));
}

void clickItem(TListBox& list, int row) { mouseClick(windowOf(list), centre(itemRect(windowOf(list), row))); }

void doubleClickItem(TListBox& list, int row) {
    HWND window = windowOf(list);
    list.setItemIndex(row);
    const POINT p = centre(itemRect(window, row));
    ::SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at(p));
    ::SendMessageW(window, WM_LBUTTONUP, 0, at(p));
    processMessages();
}

void pressKey(TControl& control, Key key) {
    ::SetFocus(windowOf(control));
    postKey(windowOf(control), WM_KEYDOWN, key);
    postKey(windowOf(control), WM_KEYUP, key);
}

void keyDown(TControl& control, Key key) { postKey(windowOf(control), WM_KEYDOWN, key); }

void typeText(TEdit& edit, const std::u16string& text) {
    for (char16_t c : text) ::SendMessageW(windowOf(edit), WM_CHAR, c, 1);
    processMessages();
}

void selectTab(TPageControl& pages, int index) {
    HWND tabs = windowOf(pages);
    RECT r{};
    ::SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    mouseClick(tabs, centre(r));
}

void deactivateApplication() {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            ::SendMessageW(window, WM_ACTIVATEAPP, FALSE, 0);
            return TRUE;
        },
        0);
    setEscapeDown(false);
}

TControl* focusedControl(TForm&) { return controlOf(::GetFocus()); }

TextRoom textRoom(const TControl& control, const std::u16string& text) {
    TControl::Native& native = control.native();
    const int room = textRoom(native, control.width());
    // A display field and the drawn controls show the text in the font that fits it.
    const bool fitted = native.kind == ControlKind::Button || native.kind == ControlKind::CheckBox ||
                        (native.kind == ControlKind::Edit && native.readOnly);
    HFONT font = fitted ? fittingFont(native, text, room) : native.font.get();
    return {textExtent(native.hwnd, font, text).width, room};
}

void prepareToolkitForTests() {}

}  // namespace velmora::drive
