#pragma once
// The outline of a picture: every maximal run of pixels in a row that differ from the
// transparent colour becomes a one-pixel-high rectangle. Plain functions; any thread.
#include <QImage>
#include <QRect>
#include <QRegion>
#include <vector>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

// Rectangles (left, top, right, bottom exclusive) of the runs, row by row. A system colour
// never matches a pixel.
std::vector<Edges> ShapeRectangles(const QImage& picture, TColor transparent);
// The union of the runs; empty when every pixel is transparent.
QRegion ShapeRegion(const QImage& picture, TColor transparent);

}  // namespace pelvano::gui
