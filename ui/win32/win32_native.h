// What the Win32 backend keeps behind a control: its window, the font it was
// given and the state the system's controls do not keep themselves. Windows
// are destroyed with their controls; the form destroys its controls in
// reverse order of making, children before their parents.
#pragma once

#include <windows.h>

#include <string>

#include "ui/controls.h"
#include "ui/theme.h"

namespace velmora {

// A GDI object deleted when its owner goes.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    H get() const { return handle_; }
    void reset(H handle = nullptr) {
        if (handle_) ::DeleteObject(handle_);
        handle_ = handle;
    }

private:
    H handle_ = nullptr;
};

// The window property that links a window to its control.
inline const wchar_t* const kControlProperty = L"VelmoraControl";

enum class ControlKind { Form, TabSheet, PageControl, Button, Label, Edit, CheckBox, ListBox, Image, ProgressBar };

struct TControl::Native {
    Native(ControlKind kind, HWND window) : kind(kind), hwnd(window) {}
    ~Native() {
        if (!hwnd) return;
        ::RemovePropW(hwnd, kControlProperty);
        ::DestroyWindow(hwnd);
    }
    Native(const Native&) = delete;
    Native& operator=(const Native&) = delete;

    ControlKind kind;
    HWND hwnd;
    GdiObject<HFONT> font;
    int fontPoints = 8;
    std::u16string hint;
    bool tabStop = true;
    bool readOnly = false;
    bool centred = false;
    std::u16string textHint;
    HWND tooltip = nullptr;  // the form's, where a hint is shown
    // A list's selected row before the key it is handling; kNoKey otherwise.
    static constexpr int kNoKey = -2;
    int rowBeforeKey = kNoKey;
    bool checked = false;  // a check box's state (it is drawn here)
    int maximum = 100;     // a progress bar's range and position (it is drawn here)
    int position = 0;
    // A narrower cut of the font for a text the designed box is too small for.
    GdiObject<HFONT> condensed;
    std::u16string condensedFor;
};

// The system's strings are UTF-16, as the controls' texts are.
inline const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::u16string windowText(HWND window);

// The control a window belongs to; nullptr for windows that are not ours.
TControl* controlOf(HWND window);
HWND windowOf(const TControl& control);

// Tahoma at `points` (the system's font linking supplies the Japanese
// glyphs), at the screen's resolution.
HFONT createWindowFont(int points);
int pixelsOfPoints(int points);

// The dark theme when it was applied, else nullptr (the standard look).
const ThemeColors* activeTheme();
void setActiveTheme(bool dark);
COLORREF colorOf(ThemeColor color);
HBRUSH themeBrush(ThemeColor color);  // cached for the process

// The window classes of the backend, registered on first use.
const wchar_t* formClass();
const wchar_t* sheetClass();
const wchar_t* imageClass();
const wchar_t* progressClass();

// Shows the sheet of the selected tab and hides the others.
void showActivePage(HWND tabs);

// The room a control gives its text: its width less the frame, the margins
// and a check box's box.
int textRoom(const TControl::Native& native, int width);
// The control's font, or a condensed cut of it when `text` would not fit
// `room` in it: the designed boxes were measured with other faces, and a
// label a few pixels too long is better narrowed than cut off.
HFONT fittingFont(TControl::Native& native, const std::u16string& text, int room);
Extent textExtent(HWND window, HFONT font, const std::u16string& text);

// Answers WM_PAINT: `paint(dc)` between BeginPaint and EndPaint.
template <class Paint>
LRESULT paintWindow(HWND window, Paint&& paint) {
    PAINTSTRUCT state;
    HDC dc = ::BeginPaint(window, &state);
    paint(dc);
    ::EndPaint(window, &state);
    return 0;
}

// Painting (win32_paint.cpp).
void drawButton(const DRAWITEMSTRUCT& item);
void paintTabs(HWND tabs, HDC dc);
void paintImage(HWND window, HDC dc, const std::optional<Canvas>& picture);
void paintProgress(HWND window, HDC dc, const TControl::Native& bar);
// The answer to WM_CTLCOLOR*: the theme's brush with its text colours set in `dc`.
LRESULT themeColors(UINT message, HDC dc, HWND control);

// The message pump's handling of one message before it is dispatched: the
// Escape key's state and dialog keys (Tab between controls). True when the
// message was handled.
bool preTranslate(MSG& message);
void setEscapeDown(bool down);

}  // namespace velmora
