// The message boxes of the Qt backend read their standard buttons in Japanese.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "ui/controls.h"
#include "ui/dialogs.h"

namespace velmora {
namespace {

TEST(QtDialogs, MessageBoxButtonsAreJapanese) {
    TForm owner("owner", FormStyle{u"owner", {100, 100}, 8, true});
    MessageBoxDialogs dialogs(owner);
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(dialogs.askYesNo(u"確認", u"削除しますか？"));
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons.join(' ').contains(QStringLiteral("はい"))) << buttons.join(' ').toStdString();
    EXPECT_TRUE(buttons.join(' ').contains(QStringLiteral("いいえ"))) << buttons.join(' ').toStdString();
}

}  // namespace
}  // namespace velmora
