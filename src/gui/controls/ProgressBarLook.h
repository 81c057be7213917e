#pragma once
// The arithmetic of the gradient progress bar: the colour ramp with its midpoints, the filled
// length and the text. Plain functions; any thread.
#include <QImage>
#include <QString>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

enum TBarColorStyle { cs1Color, cs2Colors, cs3Colors };
enum TBevelStyle { bvRaised, bvLowered, bvNone };
enum TProgressDirection { pdLeftToRight, pdRightToLeft, pdBottomToTop, pdTopToBottom };

// The colour of index i (1…n) of a ramp from c1 to c2 whose half-way point lies at midPoint
// percent; throws std::out_of_range "ColorIndex can't be less than 1 or greater than <n>".
TColor GradientColour(TColor c1, TColor c2, int n, int i, int midPoint, int gradient);

struct GradientLook {
    TBarColorStyle style = cs3Colors;
    TProgressDirection direction = pdLeftToRight;
    TColor BarColor1 = core::clGreen;
    TColor BarColor2 = core::clYellow;
    TColor BarColor3 = core::clRed;
    int Gradient = 1;
    int MidPoint1 = 50;
    int MidPoint2 = 50;
};
// The full-length fill of a bar area of w × h (cs2Colors or cs3Colors).
QImage BuildGradientImage(const GradientLook& look, int w, int h);

// Pixels filled of a bar of length: 0 at or below min (or when max = min), else
// Round((position − min) / |max − min| · length).
int FilledLength(int position, int min, int max, int length);
// The part of the bar area left unfilled.
Edges UnfilledPart(TProgressDirection d, Edges bar, int unfilled);
// Prefix, caption or position (as a percentage when asked; nothing when max = min), suffix.
QString PositionText(const QString& prefix, const QString& suffix, bool showCaption,
                     const QString& caption, bool percentage, int position, int min, int max);

}  // namespace pelvano::gui
