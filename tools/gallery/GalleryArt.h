#pragma once
// The gallery's pictures, all drawn in code: glyphs, tiles and the outline of a shaped panel.
#include <QImage>

namespace pelvano::gallery {

// A play triangle on a white key colour, size × size.
QImage PlayGlyph(int size);
// Two cells side by side: a coloured reload arrow and its disabled grey twin.
QImage ReloadGlyphPair(int size);
// A small checked tile for tiled backgrounds and bitmap fills.
QImage CheckerTile(int size, QRgb a, QRgb b);
// A rounded plate with a bite out of one corner on a blue key colour (the transparent colour).
QImage ShapedPlate(int w, int h);

}  // namespace pelvano::gallery
