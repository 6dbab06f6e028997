// What the backend paints itself: buttons and tabs in the theme's colours,
// the thumbnail pixel for pixel, and the colours of the system's controls.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "render/bmp_file.h"
#include "ui/win32/win32_native.h"

namespace velmora {
namespace {

constexpr std::size_t kBmpFileHeaderBytes = 14;

void drawText(HDC dc, HWND window, const std::u16string& text, RECT box, COLORREF color) {
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, wide(text), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

void frame(HDC dc, RECT box, ThemeColor color) {
    ::FrameRect(dc, &box, themeBrush(color));
}

}  // namespace

COLORREF colorOf(ThemeColor color) { return RGB(color.red, color.green, color.blue); }

HBRUSH themeBrush(ThemeColor color) {
    // One brush per colour for the whole run, as the system keeps its own.
    static std::map<COLORREF, GdiObject<HBRUSH>> brushes;
    auto& brush = brushes[colorOf(color)];
    if (!brush.get()) brush.reset(::CreateSolidBrush(colorOf(color)));
    return brush.get();
}

void drawButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    const std::u16string text = windowText(item.hwndItem);
    if (const ThemeColors* theme = activeTheme()) {
        ::FillRect(dc, &box, themeBrush(pressed ? theme->buttonPressed : theme->button));
        frame(dc, box, item.itemState & ODS_FOCUS ? theme->highlight : theme->frame);
        if (pressed) ::OffsetRect(&box, 1, 1);
        drawText(dc, item.hwndItem, text, box, colorOf(disabled ? theme->disabledText : theme->text));
        return;
    }
    ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    if (pressed) ::OffsetRect(&box, 1, 1);
    drawText(dc, item.hwndItem, text, box, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

void paintTabs(HWND tabs, HDC dc) {
    const ThemeColors& theme = *activeTheme();
    RECT client;
    ::GetClientRect(tabs, &client);
    ::FillRect(dc, &client, themeBrush(theme.window));
    RECT page = client;
    ::SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    RECT border{page.left - 1, page.top - 1, page.right + 1, page.bottom + 1};
    frame(dc, border, theme.frame);
    const int active = static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT box;
        if (!::SendMessageW(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&box))) continue;
        if (i == active) ::InflateRect(&box, 2, 2);
        ::FillRect(dc, &box, themeBrush(i == active ? theme.button : theme.mid));
        frame(dc, box, theme.frame);
        wchar_t text[256] = {};
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = 256;
        ::SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&tab));
        drawText(dc, tabs, reinterpret_cast<const char16_t*>(text), box,
                 colorOf(i == active ? theme.text : theme.disabledText));
    }
}

void paintImage(HWND window, HDC dc, const std::optional<Canvas>& picture) {
    RECT client;
    ::GetClientRect(window, &client);
    const ThemeColors* theme = activeTheme();
    ::FillRect(dc, &client, theme ? themeBrush(theme->window) : ::GetSysColorBrush(COLOR_BTNFACE));
    if (!picture) return;
    // The BMP file without its file header is the packed DIB the system draws.
    const std::vector<std::uint8_t> bmp = encodeBmp(*picture);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bmp.data() + kBmpFileHeaderBytes);
    const std::uint32_t bitsOffset = bmp[10] | bmp[11] << 8 | bmp[12] << 16 | static_cast<std::uint32_t>(bmp[13]) << 24;
    ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(picture->width()), static_cast<DWORD>(picture->height()), 0, 0,
                        0, static_cast<UINT>(picture->height()), bmp.data() + bitsOffset, info, DIB_RGB_COLORS);
}

LRESULT themeColors(UINT message, HDC dc, HWND control) {
    const ThemeColors& theme = *activeTheme();
    ThemeColor back = theme.window;
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) back = theme.base;
    if (message == WM_CTLCOLORSTATIC) {
        // Read-only edits ask with WM_CTLCOLORSTATIC too.
        wchar_t name[16] = {};
        ::GetClassNameW(control, name, 16);
        if (::lstrcmpiW(name, WC_EDITW) == 0) back = theme.base;
    }
    ::SetTextColor(dc, colorOf(::IsWindowEnabled(control) ? theme.text : theme.disabledText));
    ::SetBkColor(dc, colorOf(back));
    return reinterpret_cast<LRESULT>(themeBrush(back));
}

}  // namespace velmora
