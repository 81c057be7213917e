#pragma once
// The arithmetic of the LED level meter: segment count, thresholds on a decibel scale, colours,
// and the incremental update of the lit segments. Plain functions; any thread.
#include <functional>
#include <vector>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

struct MeterLevels {
    int levelMax = 0;
    int levelMin = -50;
    int levelHigh = -6;
    int levelMed = -12;
    TColor colorHigh = core::clRed;
    TColor colorMed = core::clYellow;
    TColor colorLow = core::clLime;
    bool stereo = true;
};

struct MeterScale {
    int n = -1;  // top segment index; −1 when the meter is too small for any segment
    std::vector<float> threshold;  // T[0…n], linear amplitude, T[n] = 1
    std::vector<TColor> lit;
    std::vector<TColor> unlit;
    int columnLeft[2] = {0, 0};
    int columnRight[2] = {0, 0};  // inclusive
};

MeterScale ComputeMeterScale(const MeterLevels& levels, int width, int height);
// The colour with every byte halved.
TColor UnlitColour(TColor lit);
// The y of segment i's line in a meter of the given height.
inline int SegmentY(int height, int i) {
    return height - 3 * i - 2;
}

// Moves the lit count m towards level v, calling draw(segment, lit) for each segment that
// changes; returns the new count. Afterwards segment k < n is lit exactly when v > T[k].
int UpdateLitCount(const MeterScale& scale, int m, float v,
                   const std::function<void(int, bool)>& draw);

}  // namespace pelvano::gui
