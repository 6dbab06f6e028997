#include "app/dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace velmora {

bool MessageBoxDialogs::askYesNo(const QString& caption, const QString& text) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void MessageBoxDialogs::inform(const QString& caption, const QString& text) {
    QMessageBox::information(parent_, caption, text, QMessageBox::Ok);
}

void MessageBoxDialogs::showError(const QString& text) {
    QMessageBox::critical(parent_, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

}  // namespace velmora
