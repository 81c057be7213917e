#include "gui/controls/FrmNewtmpl.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "gui/controls/MyRgnFrm.h"
#include "gui/controls/PictureShape.h"

namespace pelvano::gui {

QImage DefaultTemplatePicture() {
    QImage img(199, 103, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 70, 120));
    p.drawRoundedRect(QRect(0, 0, 199, 103), 24, 24);
    p.setBrush(QColor(90, 140, 200));
    p.drawRoundedRect(QRect(8, 8, 183, 87), 18, 18);
    return img;
}

TFrmNewtmpl::TFrmNewtmpl(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      image1_(new QLabel(this)) {
    setStyleSheet(QString());
    setPalette(QPalette(Qt::white));
    setAutoFillBackground(true);
    image1_->move(0, 0);
    image1_->installEventFilter(this);
    if (QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->geometry().size());
    SetPicture(DefaultTemplatePicture());
}

void TFrmNewtmpl::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    RebuildShape();
}

void TFrmNewtmpl::SetPicture(const QImage& picture) {
    image1_->setPixmap(QPixmap::fromImage(picture));
    image1_->resize(picture.size());
    RebuildShape();
}

void TFrmNewtmpl::RebuildShape() {
    shape_ = ShapeRegion(LabelPicture(image1_), transparentColor_);
    if (!shape_.isEmpty()) setMask(shape_);
}

void TFrmNewtmpl::FormMouseDown(QPoint globalPos) {
    if (!Movable) return;
    dragging_ = true;
    last_ = globalPos;
}

void TFrmNewtmpl::FormMouseMove(QPoint globalPos, Qt::KeyboardModifiers mods) {
    if (!dragging_ || !Movable) return;
    move(x() + globalPos.x() - last_.x(), y() + globalPos.y() - last_.y());
    last_ = globalPos;
    if (OnMoving) OnMoving(this, mods, x(), y());
}

void TFrmNewtmpl::FormMouseUp() {
    if (dragging_ && Movable) {
        last_ = pos();
        if (OnAfterMove) OnAfterMove(last_.x(), last_.y());
    }
    dragging_ = false;
}

bool TFrmNewtmpl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image1_) {
        auto* me = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                FormMouseDown(me->globalPosition().toPoint());
                return true;
            case QEvent::MouseMove:
                FormMouseMove(me->globalPosition().toPoint(), me->modifiers());
                return true;
            case QEvent::MouseButtonRelease:
                FormMouseUp();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmNewtmpl::mousePressEvent(QMouseEvent* e) {
    FormMouseDown(e->globalPosition().toPoint());
}
void TFrmNewtmpl::mouseMoveEvent(QMouseEvent* e) {
    FormMouseMove(e->globalPosition().toPoint(), e->modifiers());
}
void TFrmNewtmpl::mouseReleaseEvent(QMouseEvent*) {
    FormMouseUp();
}

}  // namespace pelvano::gui
