#include "gui/controls/DrawBox.h"

#include <QPainter>

namespace pelvano::gui {

TDrawBox::TDrawBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(50, 50);
    syncSize();
}

void TDrawBox::SetBackGroundColor(TColor v) {
    backGroundColor_ = v;
    redrawContent();
    update();
}

void TDrawBox::clearCanvas() {
    canvas_.fill(ToQColor(backGroundColor_));
}

void TDrawBox::redrawContent() {
    clearCanvas();
    QPainter p(&canvas_);
    p.setPen(Qt::black);
    p.drawLine(0, 0, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, 0, height() - 1);
}

void TDrawBox::syncSize() {
    if (size() == madeFor_) return;
    canvas_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    madeFor_ = size();
    resized();
    redrawContent();
    update();
}

void TDrawBox::resizeEvent(QResizeEvent*) {
    syncSize();
}

void TDrawBox::paintEvent(QPaintEvent*) {
    if (size() != madeFor_) {
        syncSize();
        return;
    }
    QPainter p(this);
    p.drawImage(0, 0, canvas_);
}

}  // namespace pelvano::gui
