#include "gui/controls/MyVolMeter.h"

#include <QPainter>
#include <algorithm>

namespace pelvano::gui {

TMyVolMeter::TMyVolMeter(QWidget* parent) : TDrawBox(parent) {
    resize(32, 152);
    syncSize();
}

void TMyVolMeter::SetlevelMax(int v) {
    levels_.levelMax = v < levels_.levelMin ? levels_.levelMin + 1 : v;
    recomputeScale();
}
void TMyVolMeter::SetlevelMin(int v) {
    levels_.levelMin = v > levels_.levelMax ? levels_.levelMax - 1 : v;
    recomputeScale();
}
void TMyVolMeter::SetlevelHigh(int v) {
    levels_.levelHigh = std::clamp(v, levels_.levelMin, levels_.levelMax);
    recomputeScale();
}
void TMyVolMeter::SetlevelMed(int v) {
    levels_.levelMed = std::clamp(v, levels_.levelMin, levels_.levelMax);
    recomputeScale();
}
void TMyVolMeter::SetcolorHigh(TColor v) {
    levels_.colorHigh = v;
    recomputeScale();
}
void TMyVolMeter::SetcolorMed(TColor v) {
    levels_.colorMed = v;
    recomputeScale();
}
void TMyVolMeter::SetcolorLow(TColor v) {
    levels_.colorLow = v;
    recomputeScale();
}
void TMyVolMeter::Setstereo(bool v) {
    if (v == levels_.stereo) return;
    levels_.stereo = v;
    recomputeScale();
}
void TMyVolMeter::SetpenWidth(int v) {
    if (v == penWidth_) return;
    penWidth_ = v;
    redrawContent();
    update();
}

void TMyVolMeter::SetLeftPosition(float v) {
    position_[0] = v;
    updateChannel(0, v);
    repaint();
}

void TMyVolMeter::SetRightPosition(float v) {
    position_[1] = v;
    if (!levels_.stereo) return;
    updateChannel(1, v);
    repaint();
}

void TMyVolMeter::resized() {
    scale_ = ComputeMeterScale(levels_, width(), height());
}

void TMyVolMeter::recomputeScale() {
    syncSize();
    scale_ = ComputeMeterScale(levels_, width(), height());
    redrawContent();
    update();
}

void TMyVolMeter::drawSegment(int channel, int i, bool lit) {
    const auto k = static_cast<size_t>(i);
    const int y = SegmentY(height(), i);
    const int x1 = scale_.columnLeft[channel];
    const int x2 = scale_.columnRight[channel];
    if (x2 < x1) return;
    QPainter p(&canvas());
    // A line of penWidth centred on y, as a pen of that width draws it.
    const int top = y - penWidth_ / 2;
    p.fillRect(x1, top, x2 - x1 + 1, std::max(1, penWidth_),
               ToQColor(lit ? scale_.lit[k] : scale_.unlit[k]));
}

void TMyVolMeter::redrawContent() {
    clearCanvas();
    const int columns = levels_.stereo ? 2 : 1;
    for (int c = 0; c < columns; ++c)
        for (int i = 0; i <= scale_.n; ++i) drawSegment(c, i, false);
    litCount_[0] = litCount_[1] = 0;
}

void TMyVolMeter::updateChannel(int channel, float v) {
    syncSize();
    litCount_[channel] = UpdateLitCount(scale_, litCount_[channel], v,
                                        [&](int i, bool lit) { drawSegment(channel, i, lit); });
}

}  // namespace pelvano::gui
