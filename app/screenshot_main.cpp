// velmora-screenshot OUT.png: drives the tool's window the way a user would
// on a running host (get the blocks, make all thumbnails, write a few blocks
// into the DWG folder, look at the library tab) and writes both tabs side by
// side into a PNG. It lives beside velmora and uses its folder, so what it
// makes is what velmora shows afterwards.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/Unit73.h"
#include "app/dark_theme.h"
#include "app/file_list_box.h"
#include "platform/locale_numbers.h"

namespace {

using namespace velmora;

// Answers every question with Yes and prints what the window says.
class AnsweringDialogs : public Dialogs {
public:
    bool askYesNo(const QString& caption, const QString& text) override {
        std::fprintf(stderr, "[%s] %s -> Yes\n", qPrintable(caption), qPrintable(text));
        return true;
    }
    void inform(const QString& caption, const QString& text) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
};

struct NamedThumbnail {
    QString name;
    QImage image;
};

// Every block's stored thumbnail, in list order.
std::vector<NamedThumbnail> storedThumbnails(const TForm73& form) {
    std::vector<NamedThumbnail> thumbnails;
    const QString folder = QString::fromStdString(form.folders().bmpFolder().string());
    for (int row = 0; row < form.ListBox1->count(); ++row) {
        const QString name = form.ListBox1->item(row)->text();
        QImage image(folder + "/" + name + ".bmp");
        if (!image.isNull()) thumbnails.push_back({name, image});
    }
    return thumbnails;
}

// Both tabs side by side under the window title, then every thumbnail.
QImage composeSheet(const QImage& first, const QImage& second, const QString& title,
                    const std::vector<NamedThumbnail>& thumbnails) {
    constexpr int kGap = 16, kTitle = 24, kCellW = 132, kCellH = 122;
    const int width = first.width() + second.width() + 3 * kGap;
    const int perRow = std::max(1, (width - kGap) / kCellW);
    const int rows = (static_cast<int>(thumbnails.size()) + perRow - 1) / perRow;
    QImage sheet(width, first.height() + kTitle + 2 * kGap + rows * kCellH + (rows ? kGap : 0), QImage::Format_RGB32);
    sheet.fill(QColor(20, 20, 20));
    QPainter painter(&sheet);
    painter.setPen(QColor(230, 230, 230));
    int x = kGap;
    for (const QImage* tab : {&first, &second}) {
        painter.fillRect(x, kGap, tab->width(), kTitle, QColor(32, 32, 32));
        painter.drawText(QRect(x + 8, kGap, tab->width() - 8, kTitle), Qt::AlignVCenter, title);
        painter.drawImage(x, kGap + kTitle, *tab);
        x += tab->width() + kGap;
    }
    const int top = first.height() + kTitle + 3 * kGap;
    for (std::size_t i = 0; i < thumbnails.size(); ++i) {
        const int cx = kGap + static_cast<int>(i) % perRow * kCellW;
        const int cy = top + static_cast<int>(i) / perRow * kCellH;
        painter.drawImage(cx, cy, thumbnails[i].image);
        painter.drawText(QRect(cx, cy + 102, 120, 18), Qt::AlignHCenter | Qt::AlignTop, thumbnails[i].name);
    }
    return sheet;
}

int run(const QString& out) {
    FormEnvironment environment;
    environment.folders.executable = (QCoreApplication::applicationDirPath() + "/velmora").toStdString();
    environment.dialogs = std::make_unique<AnsweringDialogs>();
    TForm73 form(std::move(environment));
    form.show();
    QCoreApplication::processEvents();

    form.Button2Click();
    const int blocks = form.ListBox1->count();
    if (blocks == 0) {
        std::fputs("velmora-screenshot: no host window \"nanoCAD 5\" answered; start velmora-hostsim first\n", stderr);
        return 1;
    }
    form.Button4Click();
    for (int row = 0; row < blocks && row < 3; ++row) {
        form.ListBox1->setCurrentRow(row);
        form.ListBox1Click();
        form.Button6Click();
    }
    form.ListBox1->setCurrentRow(blocks > 1 ? 1 : 0);
    form.ListBox1Click();
    QCoreApplication::processEvents();
    const QImage blocksTab = form.grab().toImage();

    form.PageControl1->setCurrentIndex(1);
    if (form.FileListBox1->count() > 0) {
        form.FileListBox1->setCurrentRow(0);
        form.FileListBox1Click();
    }
    QCoreApplication::processEvents();
    const QImage libraryTab = form.grab().toImage();

    const QImage sheet = composeSheet(blocksTab, libraryTab, form.windowTitle(), storedThumbnails(form));
    if (!sheet.save(out, "PNG")) {
        std::fprintf(stderr, "velmora-screenshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%d blocks listed, thumbnails in %s, written blocks in %s\n", blocks,
                form.folders().bmpFolder().c_str(), form.folders().dwgFolder().c_str());
    std::printf("screenshot: %s\n", qPrintable(out));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: velmora-screenshot OUT.png\n", stderr);
        return 2;
    }
    initDecimalSeparatorFromEnvironment();
    substituteWindowFont();
    applyDarkTheme(application);
    return run(QString::fromLocal8Bit(argv[1]));
}
