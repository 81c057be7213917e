#pragma once
// The arithmetic of the round button's look: a dome lit from the upper left, bevel rings on a
// 45° cone, the glyph sampled flat or wrapped over the dome. Plain functions over QImage; any
// thread (no widgets involved).
#include <QFont>
#include <QImage>
#include <QString>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

enum THemisphereBevel { hbNone, hbLowered, hbRaised };
enum TButtonBorderStyle { bsNone, bsSingle };

constexpr double kLightSlope = 0.5773502692;  // 1/√3: the light comes from (−1, −1, 1)/√3

struct RoundButtonLook {
    int width = 25;
    int height = 25;
    double AttenControl = 1.0;
    THemisphereBevel BevelInner = hbNone;
    THemisphereBevel BevelOuter = hbLowered;
    int BevelWidth = 2;
    TColor BorderColor = core::clGray;
    TButtonBorderStyle BorderStyle = bsNone;
    QString Caption;
    QFont font;
    QColor fontColor = Qt::black;
    bool enabled = true;
    TColor FaceColor = core::clGray;
    bool FaceShaded = true;
    bool FaceTransparent = false;
    QImage glyph;  // null when no glyph is assigned
    int GlyphIndex = 1;
    bool GlyphShaded = true;
    bool GlyphMapped = false;
    bool GlyphTransparent = true;
    int NumGlyphs = 1;
};

// up and down faces (RGB32) and the shape mask: black inside the button, white outside.
struct RoundButtonImages {
    QImage up;
    QImage down;
    QImage mask;
};

// Null images when the button is smaller than 2 × 2.
RoundButtonImages RenderRoundButton(const RoundButtonLook& look);

// v + Round(v · s), clamped to 0…255.
int ShadeComponent(int v, double s);
TColor ShadeColour(TColor c, double s);
// The grey of a ring pixel at offset (dx, dy) from the centre (y downwards) on a cone, raised
// rings bright at the upper left.
int RingGrey(double dx, double dy, bool raised);
// Whether (x, y) lies on the face inside the bevel rings.
bool RoundButtonHit(const RoundButtonLook& look, int x, int y);
// The number of bevels that are not hbNone.
int BevelCount(const RoundButtonLook& look);
// Glyph cells: width ÷ height when the width is an exact multiple of a non-zero height, else 1.
int RoundButtonGlyphCells(const QImage& glyph);

}  // namespace pelvano::gui
