#pragma once
// The player's pictures, drawn by our own code: the 297 × 147 skin of each colour style (the
// body on pure blue, which the window shape keys out) and the tile behind the sliders. Drawn
// with hard edges so that no pixel of the body blends into the keyed-out blue; every accent has
// red and green in it, so no shade of the body is the key colour. Any thread.
#include <QImage>
#include <QRect>

#include "core/app/Colors.h"
#include "core/playout/PlayerView.h"

namespace pelvano::gui {

// Pure blue: the colour of the window and the colour keyed out of its shape.
inline constexpr core::TColor kPlayerKeyColour = core::MakeColor(0, 0, 255);

// Where the skin is dark glass behind the digital labels and behind the level envelopes.
inline constexpr QRect kDisplayGlass(8, 5, 281, 54);
inline constexpr QRect kMeterGlass(8, 82, 174, 44);

// The skin of a style, size 297 × 147, RGB32.
QImage DrawPlayerSkin(core::ColorStyle style);
// The tile behind the three sliders: a fine grid in the style's colours.
QImage DrawSliderGrid(core::ColorStyle style);

enum class PlayerGlyph { Play, Pause, Stop, List, Minimise, Exit };
// A button's glyph: the ink on a key colour that the buttons leave out (their bottom-left pixel).
QImage DrawButtonGlyph(PlayerGlyph glyph, int size, const QColor& ink);

}  // namespace pelvano::gui
