#include <QImage>
#include <QPainter>
#include <algorithm>

#include "ui/qt/qt_native.h"
#include "ui/screenshot.h"

namespace velmora {

struct FormPicture::Native {
    QImage image;
};

FormPicture::FormPicture(std::unique_ptr<Native> native) : native_(std::move(native)) {}
FormPicture::~FormPicture() = default;
FormPicture::FormPicture(FormPicture&&) noexcept = default;
FormPicture& FormPicture::operator=(FormPicture&&) noexcept = default;

FormPicture grabForm(TForm& form) {
    return FormPicture(std::make_unique<FormPicture::Native>(FormPicture::Native{containerOf(form)->grab().toImage()}));
}

namespace {

QImage toImage(const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_RGB32);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const TColor c = canvas.pixel(x, y);
            image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    return image;
}

}  // namespace

bool writeScreenshotSheet(const std::vector<FormPicture>& pictures, const std::u16string& title,
                          const std::vector<NamedThumbnail>& thumbnails, const std::filesystem::path& out) {
    constexpr int kGap = 16, kTitle = 24, kCellW = 132, kCellH = 122;
    int width = kGap, height = 0;
    for (const FormPicture& p : pictures) {
        width += p.native().image.width() + kGap;
        height = std::max(height, p.native().image.height());
    }
    const int perRow = std::max(1, (width - kGap) / kCellW);
    const int rows = (static_cast<int>(thumbnails.size()) + perRow - 1) / perRow;
    QImage sheet(width, height + kTitle + 2 * kGap + rows * kCellH + (rows ? kGap : 0), QImage::Format_RGB32);
    sheet.fill(QColor(20, 20, 20));
    QPainter painter(&sheet);
    painter.setPen(QColor(230, 230, 230));
    int x = kGap;
    for (const FormPicture& p : pictures) {
        const QImage& tab = p.native().image;
        painter.fillRect(x, kGap, tab.width(), kTitle, QColor(32, 32, 32));
        painter.drawText(QRect(x + 8, kGap, tab.width() - 8, kTitle), Qt::AlignVCenter,
                         QString::fromStdU16String(title));
        painter.drawImage(x, kGap + kTitle, tab);
        x += tab.width() + kGap;
    }
    const int top = height + kTitle + 3 * kGap;
    for (std::size_t i = 0; i < thumbnails.size(); ++i) {
        const int cx = kGap + static_cast<int>(i) % perRow * kCellW;
        const int cy = top + static_cast<int>(i) / perRow * kCellH;
        painter.drawImage(cx, cy, toImage(thumbnails[i].picture));
        painter.drawText(QRect(cx, cy + 102, 120, 18), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdU16String(thumbnails[i].name));
    }
    painter.end();
    return sheet.save(QString::fromStdU16String(out.u16string()), "PNG");
}

}  // namespace velmora
