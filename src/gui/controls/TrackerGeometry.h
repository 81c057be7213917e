#pragma once
// The geometry of the slider: track ends, track, hit and thumb rectangles, and the mapping
// between the thumb centre and the value. Plain functions; any thread.
#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

enum TjtbOrientation { jtbHorizontal, jtbVertical };

struct TrackerSizes {
    int width = 150;
    int height = 24;
    TjtbOrientation orientation = jtbHorizontal;
    int ThumbWidth = 20;
    int ThumbHeight = 16;
    int TrackHeight = 6;
};

struct TrackerGeometry {
    int s = 0;  // track start along the slider
    int e = 0;  // track end
    Edges track;
    Edges hit;
};

TrackerGeometry ComputeTrackerGeometry(const TrackerSizes& z);
Edges ThumbRect(const TrackerSizes& z, int p);
int ThumbFromValue(const TrackerGeometry& g, int value, int minimum, int maximum);
// Minimum when the track has no length.
int ValueFromThumb(const TrackerGeometry& g, int p, int minimum, int maximum);
// The thumb centre for a pointer coordinate along the slider: itself on the track, else the
// nearer track end.
int ThumbFromPointer(const TrackerSizes& z, const TrackerGeometry& g, int x, int y);
// TrackColor scaled by the value's share of the range.
TColor TrackPositionColour(TColor track, int value, int minimum, int maximum);

}  // namespace pelvano::gui
