#pragma once
// The arithmetic of the flat transparent buttons: glyph copies, glyph and caption placement,
// the frames of each style. Plain functions; any thread.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

enum TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
enum TTextAlign {
    ttaTopLeft,
    ttaTop,
    ttaTopRight,
    ttaRight,
    ttaBottomRight,
    ttaBottom,
    ttaBottomLeft,
    ttaLeft,
    ttaCenter
};

// Every pixel (g, g, g) with g = (11·R + 59·G + 30·B) div 100.
QImage GreyCopy(const QImage& cell);
// An etched copy: the ink (pixels neither white nor of the top-left colour) in highlight one
// pixel down and right, then in shadow in place, on the face colour.
QImage DisabledCopy(const QImage& cell, QRgb face, QRgb highlight, QRgb shadow);

// The glyph cells, then the grey and the disabled copy of cell 1.
std::vector<QImage> BuildGlyphList(const QImage& glyph, int numGlyphs, QRgb face, QRgb highlight,
                                   QRgb shadow);
// NumGlyphs after a glyph change: width ÷ height for an exact multiple (1 beyond 4), otherwise
// the current value.
int TransButtonGlyphCells(const QImage& glyph, int current);

struct TransButtonState {
    bool enabled = true;
    bool pressedLook = false;
    bool hover = false;
    bool down = false;
};
// Which list entry shows, −1 for none.
int GlyphEntryIndex(int numGlyphs, int listCount, TFrameStyle style, bool autoGray,
                    const TransButtonState& s);

QPoint GlyphOrigin(TTextAlign align, int w, int h, int gw, int gh, int spacing);
QPoint CaptionOrigin(TTextAlign align, int w, int h, int tw, int th, int spacing, QRect glyphBox);

// One frame of the state look: colours as system-colour values, width in pixels.
struct FrameLine {
    TColor topLeft;
    TColor bottomRight;
    int width;
};
std::vector<FrameLine> StateFrames(TFrameStyle style, bool showPressed, int borderWidth,
                                   const TransButtonState& s);

}  // namespace pelvano::gui
