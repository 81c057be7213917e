#include "gui/controls/TransparentButton.h"

#include <QApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include "core/app/Encoding.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

// The entry drawn through its mask: pixels of its bottom-left colour stay out.
void drawMasked(QPainter& p, QPoint at, const QImage& entry, bool opaque) {
    const QRgb key = entry.pixel(0, entry.height() - 1) & 0xFFFFFFu;
    QImage out = entry.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((out.pixel(x, y) & 0xFFFFFFu) == key)
                out.setPixel(x, y, opaque ? ToQColor(clBtnFace).rgb() : 0u);
    p.drawImage(at, out);
}

}  // namespace

TransparentButtonBase::TransparentButtonBase(QWidget* parent, Flavour flavour)
    : SkinnedControl(parent), flavour_(flavour) {
    font_ = FromQFont(QApplication::font(), core::clBlack);
    resize(40, 40);
}

TTransparentButton::TTransparentButton(QWidget* parent)
    : TransparentButtonBase(parent, Flavour::Transparent) {}

TMyTransBtn::TMyTransBtn(QWidget* parent) : TransparentButtonBase(parent, Flavour::MyTrans) {
    core::FontRecord f;
    f.name = core::Utf8ToGbk("宋体");
    f.size = 9;
    f.color = core::clBlack;
    SetFont(f);
    SetCaption("Caption");
}

void TransparentButtonBase::SetBorderWidth(int v) {
    StoreAndRepaint(*this, borderWidth_, std::max(0, v));
}
void TransparentButtonBase::SetCaption(const QString& v) {
    StoreAndRepaint(*this, caption_, v);
    updateShortcut();
}
void TransparentButtonBase::SetFrameStyle(TFrameStyle v) {
    StoreAndRepaint(*this, frameStyle_, v);
}
void TransparentButtonBase::SetNumGlyphs(int v) {
    StoreAndRepaint(*this, numGlyphs_, std::clamp(v, 1, 4));
}
void TransparentButtonBase::SetSpacing(int v) {
    StoreAndRepaint(*this, spacing_, v);
}
void TransparentButtonBase::SetTextAlign(TTextAlign v) {
    StoreAndRepaint(*this, textAlign_, v);
}
void TransparentButtonBase::SetTransparent(bool v) {
    StoreAndRepaint(*this, transparent_, v);
}
void TransparentButtonBase::SetWordWrap(bool v) {
    StoreAndRepaint(*this, wordWrap_, v);
}

void TransparentButtonBase::SetFont(const core::FontRecord& v) {
    font_ = v;
    update();
}

void TransparentButtonBase::SetGlyph(const QImage& v) {
    glyph_ = v.isNull() ? QImage() : v.convertToFormat(QImage::Format_RGB32);
    numGlyphs_ = TransButtonGlyphCells(glyph_, numGlyphs_);
    rebuildGlyphList();
    update();
}

void TransparentButtonBase::rebuildGlyphList() {
    glyphList_ = BuildGlyphList(glyph_, numGlyphs_, rgbOf(clBtnFace), rgbOf(clBtnHighlight),
                                rgbOf(clBtnShadow));
}

void TransparentButtonBase::SetDown(bool v) {
    if (v == down_) return;
    down_ = held_ = pressedLook_ = v;
    repaint();
}

void TransparentButtonBase::updateShortcut() {
    if (shortcutId_ != 0) releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (!key.isEmpty()) shortcutId_ = grabShortcut(key);
}

bool TransparentButtonBase::DialogChar(QChar c) {
    if (!isEnabled()) return false;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (key.isEmpty()) return false;
    const QKeyCombination combo = key[0];
    if (combo.key() != static_cast<Qt::Key>(c.toUpper().unicode())) return false;
    click();
    return true;
}

bool TransparentButtonBase::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (se->shortcutId() == shortcutId_ && isEnabled()) {
            click();
            return true;
        }
    }
    return QWidget::event(e);
}

void TransparentButtonBase::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        pressedLook_ = held_ = pressInProgress_ = hover_ = false;
        update();
    }
    QWidget::changeEvent(e);
}

void TransparentButtonBase::click() {
    if (flavour_ == Flavour::Transparent) {
        down_ = false;
        pressedLook_ = false;
        repaint();
        const TColor colourBefore = font_.color;
        if (OnClick) OnClick(this);
        font_.color = colourBefore;
        update();
    } else if (OnClick) {
        OnClick(this);
    }
}

void TransparentButtonBase::mousePressEvent(QMouseEvent* e) {
    if (!isEnabled() || pressInProgress_) return;
    const QPoint pos = e->position().toPoint();
    pressInProgress_ = true;
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pos.x(), pos.y());
    if (Movable) pressPoint_ = pos;
    if (rect().contains(pos)) {
        held_ = true;
        pressedLook_ = true;
        repaint();
    }
    const bool menuButton = flavour_ == Flavour::MyTrans || e->button() == Qt::RightButton;
    if (PopUpMenu && menuButton) {
        PopUpMenu->exec(mapToGlobal(QPoint(0, height())));
        release(e->button(), e->modifiers(), pos);
    }
}

void TransparentButtonBase::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pos.x(), pos.y());
    if (!held_) return;
    if (Movable) move(x() + pos.x() - pressPoint_.x(), y() + pos.y() - pressPoint_.y());
    const bool inside = rect().contains(pos);
    if (inside != pressedLook_) {
        pressedLook_ = inside;
        repaint();
    }
}

void TransparentButtonBase::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && pressInProgress_ && held_ && rect().contains(pos)) click();
    release(e->button(), e->modifiers(), pos);
}

void TransparentButtonBase::release(Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                    QPoint pos) {
    if (!isEnabled() || !pressInProgress_) return;
    pressInProgress_ = false;
    if (down_) return;
    held_ = false;
    pressedLook_ = false;
    repaint();
    if (OnMouseUp) OnMouseUp(this, button, mods, pos.x(), pos.y());
}

void TransparentButtonBase::hoverChanged(bool inside) {
    hover_ = inside;
    if (frameStyle_ == fsExplorer) update();
}

void TransparentButtonBase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const QColor face = ToQColor(clBtnFace);
    switch (frameStyle_) {
        case fsRegular:
            DrawRectangle(p, {1, 1, w, h}, Qt::black, borderWidth_, transparent_ ? QColor() : face);
            break;
        case fsIndent:
            // The black pen turned shadow: its width stays BorderWidth.
            DrawRectangle(p, {0, 0, w - 1, h - 1}, ToQColor(clBtnShadow), borderWidth_,
                          transparent_ ? QColor() : face);
            DrawRectangle(p, {1, 1, w, h}, ToQColor(clBtnHighlight), borderWidth_);
            break;
        default:
            if (!transparent_) p.fillRect(rect(), face);
    }
    const TransButtonState state{isEnabled(), pressedLook_, hover_, down_};
    Edges frame{0, 0, w, h};
    for (const FrameLine& f : StateFrames(frameStyle_, ShowPressed, borderWidth_, state))
        Frame3D(p, frame, ToQColor(f.topLeft), ToQColor(f.bottomRight), f.width);

    const bool shifted = pressedLook_ && ShowPressed;
    const int gw = glyphList_.empty() ? 0 : glyphList_.front().width();
    const int gh = glyph_.height();
    const QPoint g0 = GlyphOrigin(textAlign_, w, h, gw, gh, spacing_);
    const QRect glyphBox(g0, QSize(gw, gh));
    const int entry = GlyphEntryIndex(numGlyphs_, GlyphListCount(), frameStyle_, AutoGray, state);
    if (entry >= 0) {
        drawMasked(p, g0 + (shifted ? QPoint(1, 1) : QPoint()),
                   glyphList_[static_cast<size_t>(entry)], !transparent_);
    }
    if (caption_.isEmpty()) return;
    const QFont font = ToQFont(font_);
    p.setFont(font);
    const int flags = Qt::TextShowMnemonic | (wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QRect measured = p.fontMetrics().boundingRect(rect(), flags, caption_);
    const QPoint at =
        CaptionOrigin(textAlign_, w, h, measured.width(), measured.height(), spacing_, glyphBox) +
        (shifted ? QPoint(1, 1) : QPoint());
    const QRect box(at, measured.size());
    const int drawFlags = flags | Qt::AlignCenter | Qt::TextDontClip;
    if (isEnabled()) {
        p.setPen(ToQColor(font_.color));
        p.drawText(box, drawFlags, caption_);
    } else {
        p.setPen(ToQColor(clBtnHighlight));
        p.drawText(box.translated(1, 1), drawFlags, caption_);
        p.setPen(ToQColor(clBtnShadow));
        p.drawText(box, drawFlags, caption_);
    }
}

}  // namespace pelvano::gui
