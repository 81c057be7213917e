#pragma once
// Draws one kind of diagram symbol with the shape's pen, colours and font. UI thread only.
#include <QPainter>

#include "gui/controls/ShapeGeometry.h"

namespace pelvano::gui {

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

struct ShapeParams {
    TDrawShape kind = dsText;
    QString caption;
    int width = 56;
    int height = 64;
    int penWidth = 3;
    TPenStyle penStyle = psSolid;
    TColor colour = 0xFF0000;
    TDrawDirection direction = ddRight;
    bool showDot = false;
    int frameWidth = 1;
    core::FontRecord font;
    bool orgFontSize = false;
    TShapeTextAlign textAlign = taCenter;
    QString sID;
};

struct ShapeTextPlacement {
    int size = 0;  // points after shrinking
    int x = 0;
    int y = 0;
};
// Where a text fitted into box lands, and at which size (shrunk to fit unless orgFontSize).
ShapeTextPlacement PlaceShapeText(const core::FontRecord& font, const QString& text, Edges box,
                                  TShapeTextAlign align, bool orgFontSize);
// The text with a one-pixel dark outline, fitted into box.
void DrawShapeFittedText(QPainter& p, const core::FontRecord& font, const QString& text, Edges box,
                         TShapeTextAlign align, bool orgFontSize);

QPen ShapePen(const ShapeParams& s);
// The symbol of s.kind; the brush is the inverse of the colour.
void PaintShapeKind(QPainter& p, const ShapeParams& s);

}  // namespace pelvano::gui
