#include "app/list_box.h"

namespace velmora {

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) emit clickedByKeyboard();
}

}  // namespace velmora
