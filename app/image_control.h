// An image control: shows one picture (an 8-bit palette bitmap) at its
// top-left corner and reports clicks.
#pragma once

#include <QLabel>
#include <QImage>
#include <optional>

#include "render/canvas.h"

namespace velmora {

// The bitmap as a QImage with its colour table.
QImage toQImage(const Canvas& canvas);

class TImage : public QLabel {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // The picture; empty when none is shown.
    const std::optional<Canvas>& picture() const { return picture_; }
    void setPicture(Canvas canvas);
    void clearPicture();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<Canvas> picture_;
};

}  // namespace velmora
