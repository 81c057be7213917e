#include "gui/controls/velTracker.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

TvelTracker::TvelTracker(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, 24);
    placeThumb();
}

TrackerSizes TvelTracker::sizes() const {
    TrackerSizes z = sizes_;
    z.width = width();
    z.height = height();
    return z;
}

TrackerGeometry TvelTracker::Geometry() const {
    return ComputeTrackerGeometry(sizes());
}

void TvelTracker::placeThumb() {
    thumb_ = ThumbFromValue(Geometry(), value_, minimum_, maximum_);
    update();
}

void TvelTracker::SetMinimum(int v) {
    if (v >= maximum_) return;
    minimum_ = v;
    if (value_ < v) value_ = v;
    placeThumb();
}

void TvelTracker::SetMaximum(int v) {
    if (v <= minimum_) return;
    maximum_ = v;
    if (value_ > v) value_ = v;
    placeThumb();
}

void TvelTracker::SetValue(int v) {
    if (v < minimum_ || v > maximum_) return;
    value_ = v;
    placeThumb();
}

void TvelTracker::SetOrientation(TjtbOrientation v) {
    sizes_.orientation = v;
    placeThumb();
}

void TvelTracker::SetBackBitmap(const QImage& v) {
    backBitmap_ = v;
    update();
}

void TvelTracker::SetThumbWidth(int v) {
    if (v >= height()) return;
    sizes_.ThumbWidth = v;
    placeThumb();
}

void TvelTracker::SetThumbHeight(int v) {
    if (v >= height()) return;
    sizes_.ThumbHeight = v;
    placeThumb();
}

void TvelTracker::SetTrackHeight(int v) {
    if (v >= (sizes_.orientation == jtbHorizontal ? height() : width())) return;
    sizes_.TrackHeight = v;
    update();
}

void TvelTracker::resizeEvent(QResizeEvent*) {
    placeThumb();
}

void TvelTracker::dragTo(int p) {
    thumb_ = p;
    value_ = ValueFromThumb(Geometry(), p, minimum_, maximum_);
    update();
    if (onChangedValue) onChangedValue(this, value_);
}

void TvelTracker::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint pos = e->position().toPoint();
    if (!Geometry().hit.toQRect().contains(pos)) return;
    dragging_ = true;
    dragTo(sizes_.orientation == jtbHorizontal ? pos.x() : pos.y());
}

void TvelTracker::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_ || !(e->buttons() & Qt::LeftButton)) return;
    const QPoint pos = e->position().toPoint();
    dragTo(ThumbFromPointer(sizes(), Geometry(), pos.x(), pos.y()));
}

void TvelTracker::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

QImage TvelTracker::Render() {
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    const TrackerGeometry g = Geometry();
    if (backBitmap_.width() > 0 && backBitmap_.height() > 0) {
        for (int r = 0; r <= h / backBitmap_.height(); ++r)
            for (int c = 0; c <= w / backBitmap_.width(); ++c)
                p.drawImage(c * backBitmap_.width(), r * backBitmap_.height(), backBitmap_);
    } else {
        DrawRectangle(p, {0, 0, w, h}, ToQColor(backBorder_ ? BorderColor : backColor_), 1,
                      ToQColor(backColor_));
    }
    const TColor track = trackPositionColor_
                             ? TrackPositionColour(trackColor_, value_, minimum_, maximum_)
                             : trackColor_;
    p.fillRect(g.track.toQRect(), ToQColor(track));
    if (trackBorder_) {
        Edges r = g.track;
        Frame3D(p, r, Qt::black, ToQColor(clBtnHighlight), 1);
    }
    Edges thumb = Thumb();
    p.fillRect(thumb.toQRect(), ToQColor(thumbColor_));
    Edges outline = thumb;
    Frame3D(p, outline, ToQColor(clBtnHighlight), Qt::black, 1);
    if (showCaption_) {
        QFont f = font();
        f.setBold(captionBold_);
        p.setFont(f);
        p.setPen(ToQColor(captionColor_));
        const QRect box = thumb.toQRect();
        const QString text =
            p.fontMetrics().elidedText(QString::number(value_), Qt::ElideRight, box.width());
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    return img;
}

void TvelTracker::paintEvent(QPaintEvent*) {
    const QImage img = Render();
    QPainter p(this);
    p.drawImage(0, 0, img);
}

}  // namespace pelvano::gui
