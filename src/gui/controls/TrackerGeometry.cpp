#include "gui/controls/TrackerGeometry.h"

#include <algorithm>

#include "gui/controls/SkinMath.h"

namespace pelvano::gui {

TrackerGeometry ComputeTrackerGeometry(const TrackerSizes& z) {
    TrackerGeometry g;
    if (z.orientation == jtbHorizontal) {
        g.s = z.ThumbWidth / 2 + 5;
        g.e = z.width - g.s;
        const int a = (z.height - z.TrackHeight) / 2;
        g.track = {g.s, a, g.e, z.height - a};
        const int grow = (z.ThumbHeight - z.TrackHeight) / 2;
        g.hit = {g.track.left, g.track.top - grow, g.track.right, g.track.bottom + grow};
    } else {
        g.s = z.ThumbHeight / 2 + 5;
        g.e = z.height - g.s;
        const int a = (z.width - z.TrackHeight) / 2;
        g.track = {a, g.s, z.width - a, g.e};
        const int grow = (z.ThumbWidth - z.TrackHeight) / 2;
        g.hit = {g.track.left - grow, g.track.top, g.track.right + grow, g.track.bottom};
    }
    return g;
}

Edges ThumbRect(const TrackerSizes& z, int p) {
    if (z.orientation == jtbHorizontal) {
        const int t = (z.height - z.ThumbHeight) / 2;
        return {p - z.ThumbWidth / 2, t, p + z.ThumbWidth / 2, z.height - t};
    }
    const int t = (z.width - z.ThumbWidth) / 2;
    return {t, p - z.ThumbHeight / 2, z.width - t, p + z.ThumbHeight / 2};
}

int ThumbFromValue(const TrackerGeometry& g, int value, int minimum, int maximum) {
    if (maximum == minimum) return g.s;
    return RoundEven(static_cast<double>(value - minimum) / (maximum - minimum) * (g.e - g.s)) +
           g.s;
}

int ValueFromThumb(const TrackerGeometry& g, int p, int minimum, int maximum) {
    if (g.e <= g.s) return minimum;
    return RoundEven(static_cast<double>(p - g.s) / (g.e - g.s) * (maximum - minimum) + minimum);
}

int ThumbFromPointer(const TrackerSizes& z, const TrackerGeometry& g, int x, int y) {
    const bool horizontal = z.orientation == jtbHorizontal;
    const int along = horizontal ? x : y;
    const int lo = horizontal ? g.track.left : g.track.top;
    const int hi = horizontal ? g.track.right : g.track.bottom;
    return std::clamp(along, lo, std::max(lo, hi));
}

TColor TrackPositionColour(TColor track, int value, int minimum, int maximum) {
    const double f =
        maximum == minimum ? 1.0 : static_cast<double>(value - minimum) / (maximum - minimum);
    const TColor c = ResolveColor(track);
    auto part = [f](int v) { return std::clamp(RoundEven(v * f), 0, 255); };
    return core::MakeColor(part(core::RedOf(c)), part(core::GreenOf(c)), part(core::BlueOf(c)));
}

}  // namespace pelvano::gui
