// A list box as the platform's list boxes behave: moving the selection with
// the keyboard (arrows, Home/End, Page keys, a letter) counts as a click, so
// the window's click handler sees every selection the user makes.
#pragma once

#include <QListWidget>

namespace velmora {

class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr) : QListWidget(parent) {}

signals:
    // The current row changed because of a key the user pressed.
    void clickedByKeyboard();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velmora
