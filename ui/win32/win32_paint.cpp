// What the backend paints itself: buttons and tabs in the theme's colours,
// the thumbnail pixel for pixel, and the colours of the system's controls.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "render/bmp_file.h"
#include "ui/win32/win32_native.h"

namespace velmora {
namespace {

constexpr std::size_t kBmpFileHeaderBytes = 14;

void drawText(HDC dc, HFONT font, const std::u16string& text, RECT box, COLORREF color, UINT align = DT_CENTER) {
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, wide(text), static_cast<int>(text.size()), &box, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
}

void frame(HDC dc, RECT box, ThemeColor color) {
    ::FrameRect(dc, &box, themeBrush(color));
}

HFONT fontOf(HWND window) { return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)); }

constexpr int kCheckBoxSize = 13;
constexpr int kCheckBoxGap = 3;

void drawCheckBox(const DRAWITEMSTRUCT& item, TControl::Native& native) {
    HDC dc = item.hDC;
    const RECT whole = item.rcItem;
    const ThemeColors* theme = activeTheme();
    ::FillRect(dc, &whole, theme ? themeBrush(theme->window) : ::GetSysColorBrush(COLOR_BTNFACE));
    const int top = (whole.top + whole.bottom - kCheckBoxSize) / 2;
    RECT box{whole.left, top, whole.left + kCheckBoxSize, top + kCheckBoxSize};
    if (theme) {
        ::FillRect(dc, &box, themeBrush(theme->base));
        frame(dc, box, item.itemState & ODS_FOCUS ? theme->highlight : theme->frame);
        if (native.checked) {
            GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 2, colorOf(theme->text)));
            HGDIOBJ old = ::SelectObject(dc, pen.get());
            const POINT tick[] = {{box.left + 3, box.top + 6}, {box.left + 5, box.top + 9}, {box.left + 10, box.top + 3}};
            ::Polyline(dc, tick, 3);
            ::SelectObject(dc, old);
        }
    } else {
        ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (native.checked ? DFCS_CHECKED : 0));
    }
    const std::u16string text = windowText(item.hwndItem);
    RECT label{box.right + kCheckBoxGap, whole.top, whole.right, whole.bottom};
    const COLORREF color = theme ? colorOf(theme->text) : ::GetSysColor(COLOR_BTNTEXT);
    drawText(dc, fittingFont(native, text, label.right - label.left), text, label, color, DT_LEFT);
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

Extent textExtent(HWND window, HFONT font, const std::u16string& text) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide(text), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

int textRoom(const TControl::Native& native, int width) {
    switch (native.kind) {
        case ControlKind::CheckBox: return width - kCheckBoxSize - kCheckBoxGap;
        case ControlKind::Button: return width - 2 * 3;  // the frame and a pixel of air each side
        case ControlKind::Edit: return width - 2 - 2;    // the border and the margins
        default: return width;
    }
}

HFONT fittingFont(TControl::Native& native, const std::u16string& text, int room) {
    HWND window = native.hwnd;
    if (textExtent(window, native.font.get(), text).width <= room) return native.font.get();
    if (native.condensed.get() && native.condensedFor == text) return native.condensed.get();
    LOGFONTW shape{};
    ::GetObjectW(native.font.get(), sizeof shape, &shape);
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, native.font.get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    for (shape.lfWidth = metrics.tmAveCharWidth; shape.lfWidth > 1; --shape.lfWidth) {
        native.condensed.reset(::CreateFontIndirectW(&shape));
        if (textExtent(window, native.condensed.get(), text).width <= room) break;
    }
    native.condensedFor = text;
    return native.condensed.get();
}

void drawButton(const DRAWITEMSTRUCT& item) {
    TControl* control = controlOf(item.hwndItem);
    if (!control) return;
    if (control->native().kind == ControlKind::CheckBox) return drawCheckBox(item, control->native());
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    const std::u16string text = windowText(item.hwndItem);
    HFONT font = fittingFont(control->native(), text, textRoom(control->native(), box.right - box.left));
    if (const ThemeColors* theme = activeTheme()) {
        ::FillRect(dc, &box, themeBrush(pressed ? theme->buttonPressed : theme->button));
        frame(dc, box, item.itemState & ODS_FOCUS ? theme->highlight : theme->frame);
        if (pressed) ::OffsetRect(&box, 1, 1);
        drawText(dc, font, text, box, colorOf(disabled ? theme->disabledText : theme->text));
        return;
    }
    ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    if (pressed) ::OffsetRect(&box, 1, 1);
    drawText(dc, font, text, box, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
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
        drawText(dc, fontOf(tabs), reinterpret_cast<const char16_t*>(text), box,
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

void paintProgress(HWND window, HDC dc, const TControl::Native& bar) {
    RECT client;
    ::GetClientRect(window, &client);
    const ThemeColors* theme = activeTheme();
    ::FillRect(dc, &client, theme ? themeBrush(theme->base) : ::GetSysColorBrush(COLOR_BTNFACE));
    if (bar.maximum <= 0 || bar.position <= 0) return;
    RECT done = client;
    done.right = client.left + ::MulDiv(client.right - client.left, std::min(bar.position, bar.maximum), bar.maximum);
    ::FillRect(dc, &done, theme ? themeBrush(theme->highlight) : ::GetSysColorBrush(COLOR_HIGHLIGHT));
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
