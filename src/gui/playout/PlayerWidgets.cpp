#include "gui/playout/PlayerWidgets.h"

#include <QPainter>

#include "core/playout/TAnalysis.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

RoundedFrame::RoundedFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RoundedFrame::setPenColour(const QColor& c) {
    if (c == pen_) return;
    pen_ = c;
    update();
}

void RoundedFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(pen_);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0, 0, width() - 1, height() - 1), 4, 4);
}

std::pair<int, int> EnvelopeSpan(int columnMax, int columnMin, int height) {
    return {((255 - columnMax) * height) >> 8, ((255 - columnMin) * height) >> 8};
}

LevelPaintBox::LevelPaintBox(QWidget* parent, const core::LevelMeters& meters, int analysisChannel,
                             QColor ink)
    : QWidget(parent), meters_(meters), channel_(analysisChannel), ink_(ink) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LevelPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    p.setPen(QColor(128, 128, 128));
    // Pen moves that leave out their end point, so each corner is drawn once.
    const QPoint border[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
    for (int i = 0; i < 4; ++i)
        DrawLineTo(p, border[i].x(), border[i].y(), border[i + 1].x(), border[i + 1].y());
    const core::TAnalysis* analysis = meters_.analysis();
    if (!analysis || channel_ >= analysis->channelCount()) return;
    p.setPen(ink_);
    for (int i = 0; i < analysis->columns(); ++i) {
        const auto [top, bottom] =
            EnvelopeSpan(analysis->columnMax(i, channel_), analysis->columnMin(i, channel_), h);
        DrawLineTo(p, i, top, i, bottom);
    }
}

}  // namespace pelvano::gui
