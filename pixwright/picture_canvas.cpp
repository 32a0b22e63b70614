#include "pixwright/picture_canvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace wright::pixwright {

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent) {}

void PictureCanvas::setImage(QSize size, QImage image) {
    image_ = std::move(image);
    resize(size);
    update();
}

void PictureCanvas::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

}  // namespace wright::pixwright
