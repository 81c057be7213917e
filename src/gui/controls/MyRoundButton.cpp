#include "gui/controls/MyRoundButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace pelvano::gui {

namespace {

// The image with everything outside the shape mask made transparent.
QImage maskedCopy(const QImage& image, const QImage& mask) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((mask.pixel(x, y) & 0xFFFFFFu) != 0) out.setPixel(x, y, 0);
    return out;
}

}  // namespace

TMyRoundButton::TMyRoundButton(QWidget* parent) : SkinnedControl(parent) {
    font_ = FromQFont(QApplication::font(), core::clBlack);
    look_.font = ToQFont(font_);
    look_.fontColor = ToQColor(font_.color);
    resize(25, 25);
    render();
}

template <class T>
void TMyRoundButton::setLook(T& field, const T& value) {
    if (field == value) return;
    field = value;
    render();
    update();
}

void TMyRoundButton::SetAllowAllUp(bool v) {
    if (v == allowAllUp_) return;
    if (GroupIndex == 0) {
        allowAllUp_ = v;
        return;
    }
    for (TMyRoundButton* b : groupMates()) b->allowAllUp_ = v;
}

void TMyRoundButton::SetAttenControl(double v) {
    setLook(look_.AttenControl, v);
}
void TMyRoundButton::SetBevelInner(THemisphereBevel v) {
    setLook(look_.BevelInner, v);
}
void TMyRoundButton::SetBevelOuter(THemisphereBevel v) {
    setLook(look_.BevelOuter, v);
}
void TMyRoundButton::SetBevelWidth(int v) {
    if (v > 0) setLook(look_.BevelWidth, v);
}
void TMyRoundButton::SetBorderColor(TColor v) {
    setLook(look_.BorderColor, v);
}
void TMyRoundButton::SetBorderStyle(TButtonBorderStyle v) {
    setLook(look_.BorderStyle, v);
}
void TMyRoundButton::SetCaption(const QString& v) {
    setLook(look_.Caption, v);
}
void TMyRoundButton::SetFaceColor(TColor v) {
    setLook(look_.FaceColor, v & 0xFFFFFFu);
}
void TMyRoundButton::SetFaceShaded(bool v) {
    setLook(look_.FaceShaded, v);
}
void TMyRoundButton::SetFaceTransparent(bool v) {
    setLook(look_.FaceTransparent, v);
}
void TMyRoundButton::SetGlyphShaded(bool v) {
    setLook(look_.GlyphShaded, v);
}
void TMyRoundButton::SetGlyphMapped(bool v) {
    setLook(look_.GlyphMapped, v);
}
void TMyRoundButton::SetGlyphTransparent(bool v) {
    setLook(look_.GlyphTransparent, v);
}
void TMyRoundButton::SetNumGlyphs(int v) {
    if (v > 0) setLook(look_.NumGlyphs, v);
}
void TMyRoundButton::SetGlyphIndex(int v) {
    if (v > 0 && v <= look_.NumGlyphs) setLook(look_.GlyphIndex, v);
}

void TMyRoundButton::SetFont(const core::FontRecord& v) {
    font_ = v;
    look_.font = ToQFont(v);
    look_.fontColor = ToQColor(v.color);
    render();
    update();
}

void TMyRoundButton::SetGlyph(const QImage& v) {
    look_.glyph = v.isNull() ? QImage() : v.convertToFormat(QImage::Format_RGB32);
    look_.NumGlyphs = v.isNull() ? look_.NumGlyphs : RoundButtonGlyphCells(v);
    look_.GlyphIndex = 1;
    render();
    update();
}

void TMyRoundButton::SetDown(bool v) {
    if (v == down_) return;
    down_ = v;
    repaint();
}

void TMyRoundButton::SetImages(const RoundButtonImages& images) {
    images_ = images;
    if (images_.mask.isNull()) return;
    composed_[0] = maskedCopy(images_.up, images_.mask);
    composed_[1] = maskedCopy(images_.down, images_.mask);
    update();
}

void TMyRoundButton::render() {
    look_.width = width();
    look_.height = height();
    look_.enabled = isEnabled();
    RoundButtonImages images = RenderRoundButton(look_);
    if (images.mask.isNull()) return;  // too small: the previous images stay
    ++renderCount_;
    SetImages(images);
}

void TMyRoundButton::resizeEvent(QResizeEvent*) {
    if (width() == look_.width && height() == look_.height) return;
    render();
    update();
}

void TMyRoundButton::paintEvent(QPaintEvent*) {
    const QImage& img = composed_[down_ ? 1 : 0];
    if (img.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, img);
}

std::vector<TMyRoundButton*> TMyRoundButton::groupMates() const {
    // A group is every button of the owning window with the same index, whichever panel
    // holds it.
    QWidget* owner = window();
    if (owner == this) return {const_cast<TMyRoundButton*>(this)};
    std::vector<TMyRoundButton*> mates;
    for (TMyRoundButton* b : owner->findChildren<TMyRoundButton*>()) {
        if (b->GroupIndex == GroupIndex) mates.push_back(b);
    }
    return mates;
}

void TMyRoundButton::press(QMouseEvent* e, bool isDouble) {
    const QPoint pos = e->position().toPoint();
    if (!isEnabled() || !RoundButtonHit(look_, pos.x(), pos.y())) return;
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    if (e->button() == Qt::LeftButton) {
        pressed_ = true;
        downAtPress_ = down_;
        SetDown(true);
        if (isDouble && OnDblClick) OnDblClick(this);
    } else if (e->button() == Qt::RightButton && PopUpMenu) {
        release(e->button(), e->modifiers(), pos);
        PopUpMenu->setProperty("Tag", QVariant::fromValue<QObject*>(this));
        PopUpMenu->exec(e->globalPosition().toPoint());
    }
}

void TMyRoundButton::mousePressEvent(QMouseEvent* e) {
    press(e, false);
}
void TMyRoundButton::mouseDoubleClickEvent(QMouseEvent* e) {
    press(e, true);
}

void TMyRoundButton::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (pressed_ && !downAtPress_) SetDown(RoundButtonHit(look_, pos.x(), pos.y()));
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
}

void TMyRoundButton::mouseReleaseEvent(QMouseEvent* e) {
    release(e->button(), e->modifiers(), e->position().toPoint());
}

void TMyRoundButton::release(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos) {
    if (pressed_) {
        pressed_ = false;
        if (RoundButtonHit(look_, pos.x(), pos.y())) {
            if (OnClick) OnClick(this);
            if (GroupIndex == 0) {
                SetDown(false);
            } else if (allowAllUp_ || !downAtPress_) {
                for (TMyRoundButton* b : groupMates())
                    if (b != this) b->SetDown(false);
                SetDown(!downAtPress_);
            }
        }
    }
    if (OnMouseUp) OnMouseUp(this, button, mods, pos.x(), pos.y());
}

}  // namespace pelvano::gui
