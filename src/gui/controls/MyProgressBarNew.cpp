#include "gui/controls/MyProgressBarNew.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

TMyProgressBarNew::TMyProgressBarNew(QWidget* parent) : QWidget(parent) {
    font_ = FromQFont(QApplication::font(), core::clBlack);
    resize(200, 20);
}

template <class T>
void TMyProgressBarNew::setAndRebuild(T& field, const T& value) {
    if (field == value) return;
    field = value;
    rebuild_ = true;
    repaint();
}

template <class T>
void TMyProgressBarNew::setText(T& field, const T& value) {
    if (field == value) return;
    field = value;
    rebuild_ = false;  // the fill is unchanged: only the filled length or the text moves
    repaint();
}

void TMyProgressBarNew::SetBackgroundColor(TColor v) {
    setAndRebuild(backgroundColor_, v);
}
void TMyProgressBarNew::SetBarColor1(TColor v) {
    setAndRebuild(gradient_.BarColor1, v);
}
void TMyProgressBarNew::SetBarColor2(TColor v) {
    setAndRebuild(gradient_.BarColor2, v);
}
void TMyProgressBarNew::SetBarColor3(TColor v) {
    setAndRebuild(gradient_.BarColor3, v);
}
void TMyProgressBarNew::SetBarColorStyle(TBarColorStyle v) {
    setAndRebuild(gradient_.style, v);
}
void TMyProgressBarNew::SetBevelInner(TBevelStyle v) {
    setAndRebuild(bevelInner_, v);
}
void TMyProgressBarNew::SetBevelOuter(TBevelStyle v) {
    setAndRebuild(bevelOuter_, v);
}
void TMyProgressBarNew::SetBevelWidth(int v) {
    if (v > 0) setAndRebuild(bevelWidth_, v);
}
void TMyProgressBarNew::SetBorderWidth(int v) {
    if (v >= 0) setAndRebuild(borderWidth_, v);
}
void TMyProgressBarNew::SetDirection(TProgressDirection v) {
    setAndRebuild(gradient_.direction, v);
}
void TMyProgressBarNew::SetGradient(int v) {
    if (v > 0) setAndRebuild(gradient_.Gradient, v);
}
void TMyProgressBarNew::SetMax(int v) {
    setAndRebuild(max_, v);
}
void TMyProgressBarNew::SetMin(int v) {
    setAndRebuild(min_, v);
}
void TMyProgressBarNew::SetMidPoint1(int v) {
    if (v >= 0 && v <= 100) setAndRebuild(gradient_.MidPoint1, v);
}
void TMyProgressBarNew::SetMidPoint2(int v) {
    if (v >= 0 && v <= 100) setAndRebuild(gradient_.MidPoint2, v);
}
void TMyProgressBarNew::SetPercentage(bool v) {
    setAndRebuild(percentage_, v);
}
void TMyProgressBarNew::SetShowPosText(bool v) {
    setAndRebuild(showPosText_, v);
}
void TMyProgressBarNew::SetUseBitmap(bool v) {
    setAndRebuild(useBitmap_, v);
}
void TMyProgressBarNew::SetPosition(int v) {
    if (v >= min_ && v <= max_) setText(position_, v);
}
void TMyProgressBarNew::SetCaption(const QString& v) {
    setText(caption_, v);
}
void TMyProgressBarNew::SetPosTextPrefix(const QString& v) {
    setText(prefix_, v);
}
void TMyProgressBarNew::SetPosTextSuffix(const QString& v) {
    setText(suffix_, v);
}
void TMyProgressBarNew::SetShowCaption(bool v) {
    setText(showCaption_, v);
}

void TMyProgressBarNew::SetBarBitmap(const QImage& v) {
    barBitmap_ = v;
    rebuild_ = true;
    repaint();
}

void TMyProgressBarNew::SetFont(const core::FontRecord& v) {
    font_ = v;
    repaint();
}

Edges TMyProgressBarNew::BarArea() const {
    const int b =
        (bevelInner_ != bvNone ? bevelWidth_ : 0) + (bevelOuter_ != bvNone ? bevelWidth_ : 0);
    const int in = b + borderWidth_;
    return {in, in, width() - in, height() - in};
}

QString TMyProgressBarNew::Text() const {
    return PositionText(prefix_, suffix_, showCaption_, caption_, percentage_, position_, min_,
                        max_);
}

void TMyProgressBarNew::drawBar(QPainter& p) {
    p.fillRect(rect(), ToQColor(backgroundColor_));
    const Edges bar = BarArea();
    if (bar.width() <= 0 || bar.height() <= 0) return;
    if (!barBitmap_.isNull() && useBitmap_) {
        if (rebuild_ || barImage_.size() != bar.toQRect().size()) {
            barImage_ = QImage(bar.width(), bar.height(), QImage::Format_RGB32);
            QPainter tiles(&barImage_);
            const int cols = width() / barBitmap_.width() + 1;
            const int rows = height() / barBitmap_.height() + 1;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c)
                    tiles.drawImage(c * barBitmap_.width(), r * barBitmap_.height(), barBitmap_);
        }
        p.drawImage(bar.left, bar.top, barImage_);
    } else if (gradient_.style == cs1Color) {
        p.fillRect(bar.toQRect(), ToQColor(gradient_.BarColor1));
    } else {
        if (rebuild_ || barImage_.size() != bar.toQRect().size())
            barImage_ = BuildGradientImage(gradient_, bar.width(), bar.height());
        p.drawImage(bar.left, bar.top, barImage_);
    }
    const bool horizontal =
        gradient_.direction == pdLeftToRight || gradient_.direction == pdRightToLeft;
    const int length = horizontal ? bar.width() : bar.height();
    const int filled = FilledLength(position_, min_, max_, length);
    p.fillRect(UnfilledPart(gradient_.direction, bar, length - filled).toQRect(),
               ToQColor(backgroundColor_));
}

void TMyProgressBarNew::drawBevel(QPainter& p, Edges& r, TBevelStyle style) const {
    if (style == bvNone) return;
    const QColor light = ToQColor(clBtnHighlight);
    const QColor dark = ToQColor(clBtnShadow);
    const bool raised = style == bvRaised;
    const QColor first = raised ? light : dark, second = raised ? dark : light;
    // Each outline as a pen draws it, every line leaving out its end point: (right, top) to
    // (left, top) to (left, bottom) in the first colour, then to (right, bottom) and back to
    // (right, top) in the second. So the top-right corner takes the first colour and the
    // bottom-left corner the second.
    for (int k = 0; k < bevelWidth_; ++k) {
        const int right = r.right - 1, bottom = r.bottom - 1;
        if (r.left >= right || r.top >= bottom) break;
        p.setPen(first);
        DrawLineTo(p, right, r.top, r.left, r.top);
        DrawLineTo(p, r.left, r.top, r.left, bottom);
        p.setPen(second);
        DrawLineTo(p, r.left, bottom, right, bottom);
        DrawLineTo(p, right, bottom, right, r.top);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

QImage TMyProgressBarNew::Render() {
    QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    QPainter p(&img);
    drawBar(p);
    Edges r{0, 0, width(), height()};
    drawBevel(p, r, bevelOuter_);
    drawBevel(p, r, bevelInner_);
    if (showPosText_) {
        const QFont font = ToQFont(font_);
        const QString text = Text();
        const QSize te = TextExtent(font, text);
        p.setFont(font);
        p.setPen(ToQColor(font_.color));
        p.drawText(QPoint(width() / 2 - te.width() / 2,
                          height() / 2 - te.height() / 2 + QFontMetrics(font).ascent()),
                   text);
    }
    rebuild_ = true;
    return img;
}

void TMyProgressBarNew::paintEvent(QPaintEvent*) {
    const QImage img = Render();
    QPainter p(this);
    p.drawImage(0, 0, img);
}

void TMyProgressBarNew::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pos.x(), pos.y());
}

}  // namespace pelvano::gui
