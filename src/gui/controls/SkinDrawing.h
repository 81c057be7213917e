#pragma once
// Drawing helpers for skinned text and lines. UI thread only (they paint through QPainter).
#include <QPainter>
#include <string>
#include <string_view>
#include <vector>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

// A line from (x1, y1) towards (x2, y2) that leaves out its end point, as the skins draw lines.
void DrawLineTo(QPainter& p, int x1, int y1, int x2, int y2);

// Frames of width w: w nested one-pixel rectangles shrinking rect by one on every side each,
// top and left edges in topLeft, bottom and right edges in bottomRight. rect ends up shrunk.
void Frame3D(QPainter& p, Edges& rect, const QColor& topLeft, const QColor& bottomRight, int width);
// A rectangle outlined by penWidth nested one-pixel rectangles, filled inside when fill is valid.
void DrawRectangle(QPainter& p, Edges rect, const QColor& pen, int penWidth,
                   const QColor& fill = QColor());

// A band lit along its middle line, darkening by 3 % a pixel towards top and bottom.
void DrawGradientBand(QPainter& p, Edges rect, TColor colour);

struct RidgeSegment {
    int y;
    int fromX;
    int toX;  // exclusive
    TColor colour;
};
// The five lines of a ridge around y (kind 1 widens downwards, kind 3 upwards).
std::vector<RidgeSegment> RidgeLineSegments(int x, int y, int length, int kind, TColor colour);
void DrawRidgeLine(QPainter& p, int x, int y, int length, int kind, TColor colour);

// A text with outline rings and an extrusion, as written in a "~~"-separated description.
struct EffectText {
    std::string text;  // GBK
    int x = 200;
    int y = 400;
    int angle = 0;  // tenths of a degree, counter-clockwise
    core::FontRecord font;
    TColor outline = core::clWhite;
    int outlineWidth = 1;
    int depth = 0;
};
// Widths and depths beyond these would only stall the painter (rings past the sixth are black
// anyway): they are cut to these bounds.
constexpr int kMaxOutlineWidth = 8;
constexpr int kMaxDepth = 64;

EffectText ParseEffectText(std::string_view description);
// The outline colour of ring r: each component divided by trunc(3^(r - 1)).
TColor RingColour(TColor outline, int ring);
// The 4·r points of the diamond of radius r around (x, y), in drawing order.
std::vector<QPoint> DiamondPoints(int x, int y, int r);
// Draws description (text replaced by text when that is not empty) and leaves the painter's font as
// description's font.
void DrawEffectText(QPainter& p, const EffectText& description);
void DrawEffectText(QPainter& p, std::string_view description, std::string_view text);

// Shrinks font (down to 3 points) until text fits rect less a one-pixel margin, then draws it
// with an outline of the given width and colour. align: 0 left, 1 centre, other right.
void DrawFittedText(QPainter& p, core::FontRecord& font, std::string_view text, int align,
                    int outlineWidth, TColor outlineColour, Edges rect);

// Width and height of a GBK text in a font, as the text calls measure it.
QSize TextExtent(const QFont& font, const QString& text);

}  // namespace pelvano::gui
