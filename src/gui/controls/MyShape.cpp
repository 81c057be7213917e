#include "gui/controls/MyShape.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/app/Encoding.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

Qt::CursorShape handleCursor(int handle) {
    switch (handle) {
        case 1:
        case 8:
            return Qt::SizeFDiagCursor;
        case 2:
        case 7:
            return Qt::SizeVerCursor;
        case 3:
        case 6:
            return Qt::SizeBDiagCursor;
        case 4:
        case 5:
            return Qt::SizeHorCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

TMyShape::TMyShape(QWidget* parent) : SkinnedControl(parent) {
    params_.font.name = core::Utf8ToGbk("宋体");
    params_.font.size = 9;
    params_.font.color = core::clWhite;
    params_.font.charset = core::kGb2312Charset;
    resize(56, 64);
}

void TMyShape::SetCaption(const QString& v) {
    StoreAndRepaint(*this, params_.caption, v);
}
void TMyShape::SetShowDot(bool v) {
    StoreAndRepaint(*this, params_.showDot, v);
}
void TMyShape::SetPenWidth(int v) {
    StoreAndRepaint(*this, params_.penWidth, std::clamp(v, 0, 255));
}
void TMyShape::SetFrameWidth(int v) {
    StoreAndRepaint(*this, params_.frameWidth, std::max(0, v));
}
void TMyShape::SetShowFrame(bool v) {
    StoreAndRepaint(*this, showFrame_, v);
}
void TMyShape::SetEditting(bool v) {
    StoreAndRepaint(*this, editting_, v);
}
void TMyShape::SetDrawShape(TDrawShape v) {
    StoreAndRepaint(*this, params_.kind, v);
    ensureFigureRoom();
}
void TMyShape::SetColor(TColor v) {
    StoreAndRepaint(*this, params_.colour, v);
}
void TMyShape::SetPenStyle(TPenStyle v) {
    StoreAndRepaint(*this, params_.penStyle, v);
}
void TMyShape::SetDrawDirection(TDrawDirection v) {
    StoreAndRepaint(*this, params_.direction, v);
    ensureFigureRoom();
}
void TMyShape::SetbkTransParent(bool v) {
    StoreAndRepaint(*this, bkTransParent_, v);
}
void TMyShape::SetStretch(bool v) {
    StoreAndRepaint(*this, stretch_, v);
}
void TMyShape::SetOrgFontSize(bool v) {
    StoreAndRepaint(*this, params_.orgFontSize, v);
}
void TMyShape::SetTextAlign(TShapeTextAlign v) {
    StoreAndRepaint(*this, params_.textAlign, v);
}
void TMyShape::SetPicture(const QImage& v) {
    StoreAndRepaint(*this, picture_, v);
}
void TMyShape::SetFont(const core::FontRecord& v) {
    StoreAndRepaint(*this, params_.font, v);
}
void TMyShape::SetFontName(const QString& v) {
    StoreAndRepaint(*this, params_.font.name, QStringToGbk(v));
}
void TMyShape::SetFontColor(TColor v) {
    StoreAndRepaint(*this, params_.font.color, v);
}
void TMyShape::SetFontSize(int v) {
    StoreAndRepaint(*this, params_.font.size, v);
}

void TMyShape::ensureFigureRoom() {
    if (params_.kind != dsTriLine) return;
    const bool vertical = params_.direction == ddUp || params_.direction == ddDown;
    if (vertical && height() < 2 * width()) resize(width(), 2 * width());
    if (!vertical && width() < 2 * height()) resize(2 * height(), height());
}

void TMyShape::paintInto(QPainter& p) {
    params_.width = width();
    params_.height = height();
    const QPen pen = ShapePen(params_);
    p.setPen(pen);
    if (!bkTransParent_) p.fillRect(rect(), ToQColor(params_.colour));
    if (!picture_.isNull()) {
        if (stretch_) {
            p.drawImage(rect(), picture_);
        } else {
            p.drawImage(0, 0, picture_);
        }
    }
    Edges frame{0, 0, width(), height()};
    const QColor grey = ToQColor(core::clGray);
    if (look_ == 2 && !editting_) {
        Frame3D(p, frame, grey, Qt::white, 1);
    } else if ((look_ == 1 && !editting_) || showFrame_) {
        Frame3D(p, frame, Qt::white, grey, 1);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    PaintShapeKind(p, params_);
    if (editting_) {
        p.setPen(QPen(Qt::red, 1));
        p.setBrush(Qt::black);
        for (const Edges& h : HandleRects(width(), height())) p.drawRect(h.left, h.top, 7, 7);
    }
}

QImage TMyShape::Render() {
    QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintInto(p);
    return img;
}

void TMyShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintInto(p);
}

void TMyShape::resizeEvent(QResizeEvent*) {
    ensureFigureRoom();
}

void TMyShape::mousePressEvent(QMouseEvent* e) {
    if (!isEnabled() || pressed_) return;
    const QPoint pos = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    pressed_ = true;
    // The platform's click: a left press and a left release over the control, wherever the
    // pointer went in between.
    if (e->button() == Qt::LeftButton) clickArmed_ = rect().contains(pos);
    if (Movable) pressPoint_ = pos;
    if (rect().contains(pos)) {
        look_ = 2;
        repaint();
    }
    if (e->button() == Qt::RightButton && PopUpMenu) {
        release(e->button(), e->modifiers(), pos);
        PopUpMenu->setProperty("Tag", QVariant::fromValue<QObject*>(this));
        PopUpMenu->exec(e->globalPosition().toPoint());
    }
    if (handle_ != 0) lastGlobal_ = e->globalPosition().toPoint();
}

void TMyShape::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
    if (pressed_) {
        if (CanZoom && handle_ != 0) {
            const HandleResize r = ResizeFromHandle(
                geometry(), handle_, global.x() - lastGlobal_.x(), global.y() - lastGlobal_.y());
            setGeometry(r.geometry);
            if (r.atMinimum && handle_ == 4) handle_ = 0;
            lastGlobal_ = global;
            update();
        } else if (Movable) {
            move(x() + pos.x() - pressPoint_.x(), y() + pos.y() - pressPoint_.y());
        } else if (!rect().contains(pos)) {
            look_ = 0;
            pressed_ = false;
            unsetCursor();
            update();
        }
    } else if (editting_) {
        handle_ = HandleAt(width(), height(), pos.x(), pos.y());
        setCursor(handleCursor(handle_));
    }
}

void TMyShape::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    // The click comes before the release handling, as for every button of the skins.
    const bool click = clickArmed_ && e->button() == Qt::LeftButton && rect().contains(pos);
    if (e->button() == Qt::LeftButton) clickArmed_ = false;
    if (click && isEnabled() && OnClick) OnClick(this);
    release(e->button(), e->modifiers(), pos);
}

void TMyShape::release(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos) {
    if (!isEnabled()) return;
    pressed_ = false;
    look_ = 1;
    repaint();
    if (OnMouseUp) OnMouseUp(this, button, mods, pos.x(), pos.y());
    look_ = 0;
    unsetCursor();
    repaint();
}

}  // namespace pelvano::gui
