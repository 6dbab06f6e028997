// The window's controls, declared once for every toolkit. Each holds its
// native widget behind a private pointer whose type only the backend knows
// (ui/qt/ on Linux, ui/win32/ on Windows); exactly one backend is built.
//
// Event rules, the same on every backend:
// - a user's click, key or double-click raises the event (`onClick`,
//   `onDblClick`); moving a list's selection with the keyboard counts as a
//   click on the list;
// - selecting a list row from code raises nothing;
// - setting an edit's text to a different text raises `onChange`, as typing does;
// - changing the page from code raises the page control's `onChange`, as a
//   click on a tab does;
// - `setChecked` raises nothing;
// - setting a progress bar's position raises its `onChange`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/canvas.h"

namespace velmora {

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};

struct Position {
    int x = 0;
    int y = 0;
    bool operator==(const Position&) const = default;
};

struct Extent {
    int width = 0;
    int height = 0;
    bool operator==(const Extent&) const = default;
};

class TControl {
public:
    struct Native;  // the backend's widget and whatever it keeps beside it

    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& name() const { return name_; }
    Bounds bounds() const;  // inside the parent's client area
    int width() const { return bounds().width; }
    int height() const { return bounds().height; }
    int fontPoints() const;
    void setFontPoints(int points);
    std::u16string hint() const;  // the tooltip
    void setHint(const std::u16string& hint);
    bool takesTabStop() const;
    // Gives the control the keyboard focus.
    void setFocus();

    Native& native() const { return *native_; }

protected:
    TControl(std::string name, std::unique_ptr<Native> native);

private:
    std::string name_;
    std::unique_ptr<Native> native_;
};

class TButton : public TControl {
public:
    TButton(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds);
    std::u16string caption() const;
    std::function<void()> onClick;
};

// A label sized to its text.
class TLabel : public TControl {
public:
    TLabel(TControl& parent, std::string name, const std::u16string& caption, Position position);
    std::u16string caption() const;
};

struct EditStyle {
    bool readOnly = false;
    bool centred = false;
    bool digitsOnly = false;  // also turns the input method off
    bool tabStop = true;
    std::u16string textHint;  // shown grey while the field is empty
};

class TEdit : public TControl {
public:
    TEdit(TControl& parent, std::string name, Bounds bounds, const EditStyle& style = {});
    std::u16string text() const;
    void setText(const std::u16string& text);
    void clear() { setText({}); }
    bool readOnly() const;
    bool centred() const;
    std::u16string textHint() const;
    std::function<void()> onChange;
};

class TCheckBox : public TControl {
public:
    TCheckBox(TControl& parent, std::string name, const std::u16string& caption, Bounds bounds);
    std::u16string caption() const;
    bool checked() const;
    void setChecked(bool checked);
};

class TListBox : public TControl {
public:
    TListBox(TControl& parent, std::string name, Bounds bounds);
    int count() const;
    std::u16string item(int row) const;
    void addItem(const std::u16string& text);
    // Replaces every row in one update of the display.
    void setItems(const std::vector<std::u16string>& items);
    void clear();
    // The selected row; -1 when none is selected.
    int itemIndex() const;
    void setItemIndex(int row);  // -1 clears the selection
    // The selected row's text; nullopt when none is selected.
    std::optional<std::u16string> selectedText() const;
    // The row holding exactly `text`; -1 when there is none.
    int indexOf(const std::u16string& text) const;
    std::function<void()> onClick;
    std::function<void()> onDblClick;
};

// A list of the regular files of one folder that match a wildcard mask,
// letter case ignored, sorted by name as the platform's file lists sort. The
// list is read anew when the folder or the mask changes.
class TFileListBox : public TListBox {
public:
    TFileListBox(TControl& parent, std::string name, Bounds bounds);
    const std::filesystem::path& directory() const { return directory_; }
    void setDirectory(const std::filesystem::path& folder);
    const std::u16string& mask() const { return mask_; }
    void setMask(const std::u16string& mask);
    void refresh();
    // The selected file name (with extension, without folder); empty when
    // nothing is selected.
    std::u16string fileName() const;

private:
    std::filesystem::path directory_;
    std::u16string mask_ = u"*";
};

// Shows one 8-bit picture pixel for pixel at its top-left corner.
class TImage : public TControl {
public:
    TImage(TControl& parent, std::string name, Bounds bounds);
    const std::optional<Canvas>& picture() const { return picture_; }
    void setPicture(Canvas canvas);
    void clearPicture();
    std::function<void()> onClick;

private:
    void showPicture();  // the backend's repaint
    std::optional<Canvas> picture_;
};

class TProgressBar : public TControl {
public:
    TProgressBar(TControl& parent, std::string name, Bounds bounds);
    int maximum() const;
    void setMaximum(int maximum);
    int position() const;
    void setPosition(int position);
    std::function<void(int)> onChange;
};

class TTabSheet;

class TPageControl : public TControl {
public:
    TPageControl(TControl& parent, std::string name, Bounds bounds);
    ~TPageControl() override;
    TTabSheet& addPage(std::string name, const std::u16string& caption);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    std::u16string pageCaption(int index) const;
    int activePageIndex() const;
    void setActivePageIndex(int index);
    std::function<void()> onChange;

private:
    std::vector<std::unique_ptr<TTabSheet>> pages_;
};

class TTabSheet : public TControl {
public:
    TTabSheet(TPageControl& owner, std::string name, const std::u16string& caption);
};

struct FormStyle {
    std::u16string caption;
    Extent clientSize;
    int fontPoints = 8;
    bool stayOnTop = true;  // fixed single border, system menu and minimise box only
};

// A top-level window that owns the controls made for it.
class TForm : public TControl {
public:
    TForm(std::string name, const FormStyle& style);
    ~TForm() override;
    std::u16string caption() const;
    Extent clientSize() const;
    Extent outerSize() const;     // with the frame
    Position position() const;    // of the frame, on the screen
    void moveTo(Position position);
    void show();
    bool visible() const;
    void restore();  // neither minimised nor maximised
    bool minimized() const;
    void minimize();
    bool stayOnTop() const;
    bool hasMaximizeButton() const;
    bool resizable() const;

    // Makes a control that lives as long as the form.
    template <class T, class... Args>
    T* make(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = control.get();
        owned_.push_back(std::move(control));
        return raw;
    }

private:
    std::vector<std::unique_ptr<TControl>> owned_;
};

// The toolkit's process-wide pieces.

// Runs the window's pending messages (handlers may run nested).
void processMessages();
// Runs the message loop until the last window is closed; the exit code.
int runMessageLoop();
// True while the Escape key is held down in one of the tool's windows.
bool escapeKeyDown();
// The primary screen's size.
Extent primaryScreenSize();
// The platform's list order: < 0, 0 or > 0, letter case ignored.
int compareIgnoringCase(const std::u16string& a, const std::u16string& b);

}  // namespace velmora
