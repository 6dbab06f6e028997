// The controls over the system's own window classes (user32, comctl32).
#include <windows.h>
#include <commctrl.h>
#include <dwmapi.h>
#include <imm.h>
#include <uxtheme.h>

#include "ui/win32/win32_native.h"

namespace velmora {
namespace {

HWND parentOf(TControl& parent) { return windowOf(parent); }

std::unique_ptr<TControl::Native> createChild(ControlKind kind, TControl& parent, const wchar_t* windowClass,
                                              const std::u16string& text, DWORD style, DWORD exStyle, Bounds b) {
    HWND window = ::CreateWindowExW(exStyle, windowClass, wide(text), WS_CHILD | WS_VISIBLE | style, b.left, b.top,
                                    b.width, b.height, parentOf(parent), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!window) throw std::runtime_error("cannot create a window of the control layer");
    auto native = std::make_unique<TControl::Native>(kind, window);
    native->fontPoints = parent.fontPoints();
    return native;
}

// Links the window to its control and gives it the parent's font.
void attach(TControl& control) {
    ::SetPropW(control.native().hwnd, kControlProperty, &control);
    control.setFontPoints(control.native().fontPoints);
}

DWORD editBorder() { return activeTheme() ? WS_BORDER : 0; }
DWORD editEdge() { return activeTheme() ? 0 : WS_EX_CLIENTEDGE; }

void fitLabel(TLabel& label) {
    const Extent size = textExtent(label.native().hwnd, label.native().font.get(), label.caption());
    ::SetWindowPos(label.native().hwnd, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The page's sheet window, kept as the tab item's parameter.
HWND sheetOf(HWND tabs, int index) {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!::SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<HWND>(item.lParam);
}

RECT pageArea(HWND tabs) {
    RECT area{};
    ::GetClientRect(tabs, &area);
    ::SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

LRESULT CALLBACK darkTabsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return paintWindow(window, [window](HDC dc) { paintTabs(window, dc); });
        default:
            return ::DefSubclassProc(window, message, wParam, lParam);
    }
}

// A key that leaves the selection where it was (an arrow past the end) is
// no click, while the list reports every key it handles.
LRESULT CALLBACK listKeysProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message != WM_KEYDOWN) return ::DefSubclassProc(window, message, wParam, lParam);
    auto& native = *reinterpret_cast<TControl::Native*>(data);
    native.rowBeforeKey = static_cast<int>(::SendMessageW(window, LB_GETCURSEL, 0, 0));
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    native.rowBeforeKey = TControl::Native::kNoKey;
    return result;
}

}  // namespace

void showActivePage(HWND tabs) {
    const int active = static_cast<int>(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (HWND sheet = sheetOf(tabs, i)) ::ShowWindow(sheet, i == active ? SW_SHOW : SW_HIDE);
}

std::u16string windowText(HWND window) {
    std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, u'\0');
    const int n = ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

TControl* controlOf(HWND window) {
    return window ? static_cast<TControl*>(::GetPropW(window, kControlProperty)) : nullptr;
}

HWND windowOf(const TControl& control) { return control.native().hwnd; }

TControl::TControl(std::string name, std::unique_ptr<Native> native)
    : name_(std::move(name)), native_(std::move(native)) {}
TControl::~TControl() = default;

Bounds TControl::bounds() const {
    RECT r{};
    ::GetWindowRect(native_->hwnd, &r);
    if (HWND parent = ::GetParent(native_->hwnd); parent && native_->kind != ControlKind::Form)
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int TControl::fontPoints() const { return native_->fontPoints; }

void TControl::setFontPoints(int points) {
    native_->fontPoints = points;
    native_->font.reset(createWindowFont(points));
    ::SendMessageW(native_->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(native_->font.get()), TRUE);
    if (native_->kind == ControlKind::Label) fitLabel(static_cast<TLabel&>(*this));
}

std::u16string TControl::hint() const { return native_->hint; }

void TControl::setHint(const std::u16string& hint) {
    native_->hint = hint;
    TControl* form = controlOf(::GetAncestor(native_->hwnd, GA_ROOT));
    HWND tooltip = form ? form->native().tooltip : nullptr;
    if (!tooltip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(native_->hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(native_->hwnd);
    tool.lpszText = const_cast<wchar_t*>(wide(native_->hint));
    ::SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!hint.empty()) ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool TControl::takesTabStop() const { return ::GetWindowLongW(native_->hwnd, GWL_STYLE) & WS_TABSTOP; }
void TControl::setFocus() { ::SetFocus(native_->hwnd); }

// ---- buttons, labels, check boxes ----

TButton::TButton(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds)
    : TControl(name, createChild(ControlKind::Button, parent, WC_BUTTONW, caption, BS_OWNERDRAW | WS_TABSTOP, 0, bounds)) {
    attach(*this);
}
std::u16string TButton::caption() const { return windowText(native().hwnd); }

TLabel::TLabel(TControl& parent, std::string name, const std::u16string& caption, Position position)
    : TControl(name, createChild(ControlKind::Label, parent, WC_STATICW, caption, SS_LEFT | SS_NOPREFIX, 0,
                                 {position.x, position.y, 1, 1})) {
    attach(*this);
}
std::u16string TLabel::caption() const { return windowText(native().hwnd); }

TCheckBox::TCheckBox(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds)
    : TControl(name, createChild(ControlKind::CheckBox, parent, WC_BUTTONW, caption, BS_OWNERDRAW | WS_TABSTOP, 0,
                                 bounds)) {
    attach(*this);
}
std::u16string TCheckBox::caption() const { return windowText(native().hwnd); }
bool TCheckBox::checked() const { return native().checked; }
void TCheckBox::setChecked(bool checked) {
    native().checked = checked;
    ::InvalidateRect(native().hwnd, nullptr, FALSE);
}

// ---- edits ----

namespace {
DWORD editStyle(const EditStyle& s) {
    DWORD style = ES_AUTOHSCROLL | editBorder();
    if (s.readOnly) style |= ES_READONLY;
    if (s.centred) style |= ES_CENTER;
    if (s.digitsOnly) style |= ES_NUMBER;
    if (s.tabStop) style |= WS_TABSTOP;
    return style;
}
}  // namespace

TEdit::TEdit(TControl& parent, std::string name, Bounds bounds, const EditStyle& style)
    : TControl(name, createChild(ControlKind::Edit, parent, WC_EDITW, {}, editStyle(style), editEdge(), bounds)) {
    native().readOnly = style.readOnly;
    native().centred = style.centred;
    native().textHint = style.textHint;
    if (style.digitsOnly) ::ImmAssociateContextEx(native().hwnd, nullptr, 0);  // no input method
    ::SendMessageW(native().hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
    if (!style.textHint.empty())
        ::SendMessageW(native().hwnd, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(wide(native().textHint)));
    attach(*this);
}
std::u16string TEdit::text() const { return windowText(native().hwnd); }
void TEdit::setText(const std::u16string& text) {
    if (text == this->text()) return;
    if (native().readOnly) {
        // A display field narrows its font for a text it could not show whole.
        HFONT font = fittingFont(native(), text, textRoom(native(), width()));
        ::SendMessageW(native().hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::SetWindowTextW(native().hwnd, wide(text));  // EN_CHANGE raises onChange
}
bool TEdit::readOnly() const { return native().readOnly; }
bool TEdit::centred() const { return native().centred; }
std::u16string TEdit::textHint() const { return native().textHint; }

// ---- lists ----

TListBox::TListBox(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, createChild(ControlKind::ListBox, parent, WC_LISTBOXW, {},
                                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | editBorder(),
                                 editEdge(), bounds)) {
    ::SetWindowSubclass(native().hwnd, listKeysProc, 1, reinterpret_cast<DWORD_PTR>(&native()));
    attach(*this);
}
int TListBox::count() const { return static_cast<int>(::SendMessageW(native().hwnd, LB_GETCOUNT, 0, 0)); }
std::u16string TListBox::item(int row) const {
    const LRESULT length = ::SendMessageW(native().hwnd, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const LRESULT n = ::SendMessageW(native().hwnd, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(n == LB_ERR ? 0 : static_cast<std::size_t>(n));
    return text;
}
void TListBox::addItem(const std::u16string& text) {
    ::SendMessageW(native().hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text)));
}
void TListBox::setItems(const std::vector<std::u16string>& items) {
    HWND list = native().hwnd;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(items.size() * 32));
    for (const auto& text : items) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text)));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}
void TListBox::clear() { ::SendMessageW(native().hwnd, LB_RESETCONTENT, 0, 0); }
int TListBox::itemIndex() const {
    const LRESULT row = ::SendMessageW(native().hwnd, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int>(row);
}
void TListBox::setItemIndex(int row) { ::SendMessageW(native().hwnd, LB_SETCURSEL, row, 0); }
std::optional<std::u16string> TListBox::selectedText() const {
    const int row = itemIndex();
    if (row < 0) return std::nullopt;
    return item(row);
}
int TListBox::indexOf(const std::u16string& text) const {
    for (int row = 0, n = count(); row < n; ++row)
        if (item(row) == text) return row;  // the system's search ignores letter case
    return -1;
}

// ---- image, progress bar ----

TImage::TImage(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, createChild(ControlKind::Image, parent, imageClass(), {}, 0, 0, bounds)) {
    attach(*this);
}
void TImage::showPicture() {
    ::InvalidateRect(native().hwnd, nullptr, FALSE);
    ::UpdateWindow(native().hwnd);
}

// Drawn here in the theme's colours: the system's bar keeps its own look.
TProgressBar::TProgressBar(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, createChild(ControlKind::ProgressBar, parent, progressClass(), {}, 0, 0, bounds)) {
    attach(*this);
}
int TProgressBar::maximum() const { return native().maximum; }
void TProgressBar::setMaximum(int maximum) {
    native().maximum = maximum;
    ::InvalidateRect(native().hwnd, nullptr, FALSE);
}
int TProgressBar::position() const { return native().position; }
void TProgressBar::setPosition(int position) {
    if (position == native().position) return;
    native().position = position;
    ::InvalidateRect(native().hwnd, nullptr, FALSE);
    ::UpdateWindow(native().hwnd);
    if (onChange) onChange(position);
}

// ---- pages ----

TPageControl::TPageControl(TControl& parent, std::string name, Bounds bounds)
    : TControl(name, createChild(ControlKind::PageControl, parent, WC_TABCONTROLW, {},
                                 WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, WS_EX_CONTROLPARENT, bounds)) {
    if (activeTheme()) ::SetWindowSubclass(native().hwnd, darkTabsProc, 1, 0);
    attach(*this);
}
std::u16string TPageControl::pageCaption(int index) const {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    ::SendMessageW(native().hwnd, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<const char16_t*>(text);
}
int TPageControl::activePageIndex() const {
    return static_cast<int>(::SendMessageW(native().hwnd, TCM_GETCURSEL, 0, 0));
}
void TPageControl::setActivePageIndex(int index) {
    if (index == activePageIndex()) return;
    ::SendMessageW(native().hwnd, TCM_SETCURSEL, index, 0);
    showActivePage(native().hwnd);
    if (onChange) onChange();
}

TTabSheet::TTabSheet(TPageControl& owner, std::string name, const std::u16string& caption)
    : TControl(name, [&] {
          const RECT area = pageArea(owner.native().hwnd);
          HWND sheet = ::CreateWindowExW(WS_EX_CONTROLPARENT, sheetClass(), L"", WS_CHILD | WS_CLIPSIBLINGS,
                                         area.left, area.top, area.right - area.left, area.bottom - area.top,
                                         owner.native().hwnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
          if (!sheet) throw std::runtime_error("cannot create a tab sheet");
          auto native = std::make_unique<Native>(ControlKind::TabSheet, sheet);
          native->fontPoints = owner.fontPoints();
          return native;
      }()) {
    HWND tabs = owner.native().hwnd;
    std::u16string text = caption;
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = reinterpret_cast<wchar_t*>(text.data());
    item.lParam = reinterpret_cast<LPARAM>(native().hwnd);
    const auto index = ::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    ::SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    // The page area is known once the tab row exists.
    const RECT area = pageArea(tabs);
    ::SetWindowPos(native().hwnd, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    attach(*this);
    showActivePage(tabs);
}

// ---- the form ----

namespace {
constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

std::unique_ptr<TControl::Native> createForm(const FormStyle& style) {
    const DWORD exStyle = kFormExStyle | (style.stayOnTop ? WS_EX_TOPMOST : 0);
    RECT outer{0, 0, style.clientSize.width, style.clientSize.height};
    ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, exStyle);
    HWND form = ::CreateWindowExW(exStyle, formClass(), wide(style.caption), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!form) throw std::runtime_error("cannot create the window");
    if (activeTheme()) {
        const BOOL dark = TRUE;  // the dark title bar, where the system has it
        ::DwmSetWindowAttribute(form, 20 /* DWMWA_USE_IMMERSIVE_DARK_MODE */, &dark, sizeof dark);
    }
    auto native = std::make_unique<TControl::Native>(ControlKind::Form, form);
    native->fontPoints = style.fontPoints;
    native->tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    return native;
}
}  // namespace

TForm::TForm(std::string name, const FormStyle& style) : TControl(name, createForm(style)) { attach(*this); }
TForm::~TForm() {
    while (!owned_.empty()) owned_.pop_back();  // children before their parents
}
std::u16string TForm::caption() const { return windowText(native().hwnd); }
Extent TForm::clientSize() const {
    RECT r{};
    ::GetClientRect(native().hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}
Extent TForm::outerSize() const {
    const Bounds b = bounds();
    return {b.width, b.height};
}
Position TForm::position() const {
    const Bounds b = bounds();
    return {b.left, b.top};
}
void TForm::moveTo(Position position) {
    ::SetWindowPos(native().hwnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TForm::show() {
    ::ShowWindow(native().hwnd, SW_SHOW);
    ::UpdateWindow(native().hwnd);
}
bool TForm::visible() const { return ::IsWindowVisible(native().hwnd); }
void TForm::restore() {
    if (::IsIconic(native().hwnd) || ::IsZoomed(native().hwnd)) ::ShowWindow(native().hwnd, SW_RESTORE);
}
bool TForm::minimized() const { return ::IsIconic(native().hwnd); }
void TForm::minimize() { ::ShowWindow(native().hwnd, SW_MINIMIZE); }
bool TForm::stayOnTop() const { return ::GetWindowLongW(native().hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST; }
bool TForm::hasMaximizeButton() const { return ::GetWindowLongW(native().hwnd, GWL_STYLE) & WS_MAXIMIZEBOX; }
bool TForm::resizable() const { return ::GetWindowLongW(native().hwnd, GWL_STYLE) & WS_THICKFRAME; }

}  // namespace velmora
