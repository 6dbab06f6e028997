// The Win32 application: the window classes and their procedures, which turn
// the controls' notifications into their events, the message pump with the
// dialog keys and the Escape key's state, fonts, the theme and message boxes.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <array>
#include <exception>

#include "platform/files.h"
#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/win32/win32_native.h"

namespace velmora {
namespace {

// Process-wide state of the toolkit, as the system keeps its own.
struct ToolkitState {
    bool dark = false;
    bool escapeDown = false;
};

ToolkitState& toolkit() {
    static ToolkitState state;
    return state;
}

// An event handler runs inside the system's window procedure, which must
// not be unwound; the handlers report their own failures.
template <class F>
void raise(const F& event) {
    if (!event) return;
    try {
        event();
    } catch (const std::exception&) {
        // nothing may cross the window procedure
    }
}

void commandFromChild(HWND child, WORD code) {
    TControl* control = controlOf(child);
    if (!control) return;
    switch (control->native().kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) raise(static_cast<TButton*>(control)->onClick);
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) static_cast<TCheckBox*>(control)->setChecked(!control->native().checked);
            break;
        case ControlKind::Edit:
            if (code == EN_CHANGE) raise(static_cast<TEdit*>(control)->onChange);
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                auto* list = static_cast<TListBox*>(control);
                if (list->native().rowBeforeKey != list->itemIndex()) raise(list->onClick);
            }
            if (code == LBN_DBLCLK) raise(static_cast<TListBox*>(control)->onDblClick);
            break;
        default:
            break;
    }
}

void notifyFromChild(const NMHDR& header) {
    TControl* control = controlOf(header.hwndFrom);
    if (!control || control->native().kind != ControlKind::PageControl || header.code != TCN_SELCHANGE) return;
    showActivePage(header.hwndFrom);
    raise(static_cast<TPageControl*>(control)->onChange);
}

void eraseWith(HWND window, HDC dc) {
    RECT r;
    ::GetClientRect(window, &r);
    const ThemeColors* theme = activeTheme();
    ::FillRect(dc, &r, theme ? themeBrush(theme->window) : ::GetSysColorBrush(COLOR_BTNFACE));
}

// The form and the tab sheets: the parents of the controls.
LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam) commandFromChild(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            notifyFromChild(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType == ODT_BUTTON) drawButton(item);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (activeTheme()) return themeColors(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            break;
        case WM_ERASEBKGND:
            eraseWith(window, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_ACTIVATEAPP:
            if (!wParam) toolkit().escapeDown = false;  // its release goes to another program
            break;
        case WM_CLOSE:
            // The form is destroyed with its control; closing ends the message loop.
            ::ShowWindow(window, SW_HIDE);
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK imageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return paintWindow(window, [window](HDC dc) {
                if (auto* image = static_cast<TImage*>(controlOf(window))) paintImage(window, dc, image->picture());
            });
        case WM_LBUTTONDOWN:
            ::SetCapture(window);
            return 0;
        case WM_LBUTTONUP: {
            if (::GetCapture() == window) ::ReleaseCapture();
            RECT r;
            ::GetClientRect(window, &r);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (auto* image = static_cast<TImage*>(controlOf(window)); image && ::PtInRect(&r, at))
                raise(image->onClick);
            return 0;
        }
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK progressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return paintWindow(window, [window](HDC dc) {
                if (TControl* bar = controlOf(window)) paintProgress(window, dc, bar->native());
            });
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

const wchar_t* registered(const wchar_t* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &windowClass)) return name;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);
    return name;
}

}  // namespace

const wchar_t* formClass() { return registered(L"VelmoraForm", containerProc, 0); }
const wchar_t* sheetClass() { return registered(L"VelmoraSheet", containerProc, 0); }
const wchar_t* imageClass() { return registered(L"VelmoraImage", imageProc, 0); }
const wchar_t* progressClass() { return registered(L"VelmoraProgress", progressProc, 0); }

const ThemeColors* activeTheme() { return toolkit().dark ? &kDarkTheme : nullptr; }
void setActiveTheme(bool dark) { toolkit().dark = dark; }
void setEscapeDown(bool down) { toolkit().escapeDown = down; }

int pixelsOfPoints(int points) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(points, dpi > 0 ? dpi : 96, 72);
}

HFONT createWindowFont(int points) {
    return ::CreateFontW(-pixelsOfPoints(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

bool preTranslate(MSG& message) {
    if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP) && message.wParam == VK_ESCAPE)
        toolkit().escapeDown = message.message == WM_KEYDOWN;
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    TControl* form = controlOf(root);
    return form && form->native().kind == ControlKind::Form && ::IsDialogMessageW(root, &message);
}

void processMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));  // for the message loop
            return;
        }
        if (preTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

int runMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool escapeKeyDown() { return toolkit().escapeDown; }

Extent primaryScreenSize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

int compareIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wide(a), static_cast<int>(a.size()), wide(b),
                            static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

struct TApplication::Native {
    Native() : com(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    ~Native() {
        if (SUCCEEDED(com)) ::CoUninitialize();
    }
    HRESULT com;  // the window thread is a single-threaded apartment
};

TApplication::TApplication(int&, char**) : native_(std::make_unique<Native>()) {}
TApplication::~TApplication() = default;

bool TApplication::applyDarkTheme() {
    setActiveTheme(true);
    return true;
}

namespace {
HWND ownerOf(TForm& form) { return windowOf(form); }

// The program's name, the caption of the standard error box.
std::u16string applicationTitle() { return executableFile().stem().u16string(); }
}  // namespace

bool MessageBoxDialogs::askYesNo(const std::u16string& caption, const std::u16string& text) {
    return ::MessageBoxW(ownerOf(owner_), wide(text), wide(caption), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MessageBoxDialogs::inform(const std::u16string& caption, const std::u16string& text) {
    ::MessageBoxW(ownerOf(owner_), wide(text), wide(caption), MB_OK | MB_ICONINFORMATION);
}

void MessageBoxDialogs::showError(const std::u16string& text) {
    ::MessageBoxW(ownerOf(owner_), wide(text), wide(applicationTitle()), MB_OK | MB_ICONERROR);
}

}  // namespace velmora
