// The test driver over QTest: events sent to the widgets as the windowing
// system would send them.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "ui/qt/qt_native.h"
#include "ui/test_driver.h"

namespace velmora::drive {
namespace {

Qt::Key qtKey(Key key) {
    switch (key) {
        case Key::Down: return Qt::Key_Down;
        case Key::Up: return Qt::Key_Up;
        case Key::Home: return Qt::Key_Home;
        case Key::End: return Qt::Key_End;
        case Key::PageUp: return Qt::Key_PageUp;
        case Key::PageDown: return Qt::Key_PageDown;
        case Key::Escape: return Qt::Key_Escape;
        case Key::Tab: return Qt::Key_Tab;
    }
    return Qt::Key_unknown;
}

QListWidget& listOf(TListBox& list) { return list.native().as<QListWidget>(); }

}  // namespace

void click(TControl& control) { QTest::mouseClick(control.native().widget.get(), Qt::LeftButton); }

void clickItem(TListBox& list, int row) {
    QListWidget& widget = listOf(list);
    widget.setCurrentRow(row);
    emit widget.itemClicked(widget.item(row));
}

void doubleClickItem(TListBox& list, int row) {
    QListWidget& widget = listOf(list);
    widget.setCurrentRow(row);
    emit widget.itemDoubleClicked(widget.item(row));
}

void pressKey(TControl& control, Key key) { QTest::keyClick(control.native().widget.get(), qtKey(key)); }
void keyDown(TControl& control, Key key) { QTest::keyPress(control.native().widget.get(), qtKey(key)); }

void typeText(TEdit& edit, const std::u16string& text) {
    QTest::keyClicks(edit.native().widget.get(), QString::fromStdU16String(text));
}

void selectTab(TPageControl& pages, int index) {
    QTabBar* bar = pages.native().as<QTabWidget>().tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    if (pages.activePageIndex() != index) pages.setActivePageIndex(index);  // a bar not laid out yet
}

void deactivateApplication() {
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
}

TControl* focusedControl(TForm&) { return controlOf(QApplication::focusWidget()); }

TextRoom textRoom(const TControl& control, const std::u16string& text) {
    QWidget* widget = control.native().widget.get();
    const QString s = QString::fromStdU16String(text);
    const int width = widget->fontMetrics().horizontalAdvance(s);
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = s;
        return {width, box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width()};
    }
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return {width, button->width() - 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth)};
    if (auto* label = qobject_cast<QLabel*>(widget)) return {label->sizeHint().width(), label->width()};
    // an edit: the frame and the text margins take 4 pixels a side
    return {width, widget->width() - 8};
}

}  // namespace velmora::drive

namespace velmora::drive {
void prepareToolkitForTests() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}
}  // namespace velmora::drive
