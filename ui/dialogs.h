// The window's message boxes, behind one interface so that tests answer them
// without a person.
#pragma once

#include <string>

namespace velmora {

class TForm;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Question icon, Yes and No buttons; true only for Yes.
    virtual bool askYesNo(const std::u16string& caption, const std::u16string& text) = 0;
    // Information icon, OK button.
    virtual void inform(const std::u16string& caption, const std::u16string& text) = 0;
    // The application's standard error box for a failure that ended an action.
    virtual void showError(const std::u16string& text) = 0;
};

// The platform's message boxes, owned by `owner` (the main window), with the
// system's own button texts.
class MessageBoxDialogs : public Dialogs {
public:
    explicit MessageBoxDialogs(TForm& owner) : owner_(owner) {}
    bool askYesNo(const std::u16string& caption, const std::u16string& text) override;
    void inform(const std::u16string& caption, const std::u16string& text) override;
    void showError(const std::u16string& text) override;

private:
    TForm& owner_;
};

}  // namespace velmora
