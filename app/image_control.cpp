#include "app/image_control.h"

#include <QMouseEvent>
#include <QPixmap>

namespace velmora {

QImage toQImage(const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_Indexed8);
    QList<QRgb> table;
    table.reserve(256);
    for (TColor c : canvas.palette()) table.push_back(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    image.setColorTable(table);
    const auto& pixels = canvas.pixels();
    for (int y = 0; y < canvas.height(); ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * canvas.width(), canvas.width(), image.scanLine(y));
    return image;
}

TImage::TImage(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignTop); }

void TImage::setPicture(Canvas canvas) {
    setPixmap(QPixmap::fromImage(toQImage(canvas)));
    picture_ = std::move(canvas);
    repaint();
}

void TImage::clearPicture() {
    picture_.reset();
    clear();
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace velmora
