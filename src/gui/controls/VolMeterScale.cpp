#include "gui/controls/VolMeterScale.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/SkinMath.h"

namespace pelvano::gui {

TColor UnlitColour(TColor lit) {
    return (lit >> 1) & 0x7F7F7Fu;
}

MeterScale ComputeMeterScale(const MeterLevels& lv, int width, int height) {
    MeterScale s;
    int n = (height - 2) / 3 - 1;
    if (n == 0) n = 1;
    if (n > 100) n = 100;
    const int w = lv.stereo ? width / 2 : width;
    s.columnLeft[0] = 1;
    s.columnRight[0] = w - 2;
    s.columnLeft[1] = w + 1;
    s.columnRight[1] = width - 2;
    if (n < 0) return s;
    s.n = n;
    const int r = std::max(1, lv.levelMax - lv.levelMin);
    const int hb = n - RoundEven(static_cast<double>(lv.levelMax - lv.levelHigh) * n / r);
    const int mb = n - RoundEven(static_cast<double>(lv.levelMax - lv.levelMed) * n / r);
    s.threshold.resize(static_cast<size_t>(n) + 1);
    s.lit.resize(static_cast<size_t>(n) + 1);
    s.unlit.resize(static_cast<size_t>(n) + 1);
    for (int i = n; i >= 0; --i) {
        const auto k = static_cast<size_t>(i);
        s.threshold[k] =
            static_cast<float>(std::pow(10.0, -static_cast<double>(n - i) / n * r / 20));
        s.lit[k] = i > hb ? lv.colorHigh : (i > mb ? lv.colorMed : lv.colorLow);
        s.unlit[k] = UnlitColour(ResolveColor(s.lit[k]));
    }
    return s;
}

int UpdateLitCount(const MeterScale& scale, int m, float v,
                   const std::function<void(int, bool)>& draw) {
    if (scale.n < 0) return 0;
    const auto t = [&](int i) { return scale.threshold[static_cast<size_t>(i)]; };
    m = std::clamp(m, 0, scale.n);
    if (v > t(m)) {
        while (m < scale.n && v > t(m)) {
            draw(m, true);
            ++m;
        }
    } else {
        while (m > 0 && v <= t(m - 1)) {
            --m;
            draw(m, false);
        }
    }
    return m;
}

}  // namespace pelvano::gui
