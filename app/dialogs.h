// The window's message boxes, behind one interface so that tests answer them
// without a person.
#pragma once

#include <QString>

class QWidget;

namespace velmora {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Question icon, Yes and No buttons; true only for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // Information icon, OK button.
    virtual void inform(const QString& caption, const QString& text) = 0;
    // The application's standard error box for a failure that ended an action.
    virtual void showError(const QString& text) = 0;
};

// Real message boxes, owned by `parent` (the main window).
class MessageBoxDialogs : public Dialogs {
public:
    explicit MessageBoxDialogs(QWidget* parent) : parent_(parent) {}
    bool askYesNo(const QString& caption, const QString& text) override;
    void inform(const QString& caption, const QString& text) override;
    void showError(const QString& text) override;

private:
    QWidget* parent_;
};

}  // namespace velmora
