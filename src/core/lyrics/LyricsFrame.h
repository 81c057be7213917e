#pragma once
// What the lyrics display draws for a start row: nine lines from that row on, the first one the
// current line, each in its band of the off-screen buffer, with the alignment, the colours and
// the underline. The window paints it; the arithmetic lives here. Any thread.
#include <array>
#include <string>

#include "core/app/Colors.h"
#include "core/app/Fonts.h"
#include "core/lyrics/LyricsSettings.h"
#include "core/lyrics/LyricsTable.h"

namespace pelvano::core {

inline constexpr int kLyricsFrameLines = 9;

struct LyricsFrameLine {
    std::string text;  // GBK; a single blank for a row outside the table
    bool current = false;
    TColor color = clWhite;
    // The text's rectangle: (0, top) to (width, bottom).
    int top = 0;
    int bottom = 0;
    bool underline = false;  // a ridge line at y = bottom, the window's width long
};

struct LyricsFrame {
    int lineHeight = 0;  // height of "j" in the font + 2
    int width = 0;
    int height = 0;  // nine lines
    LyricsAlignment alignment = LyricsAlignment::Centred;
    FontRecord font;
    int outlineWidth = 1;
    TColor outlineColor = MakeColor(8, 8, 8);
    TColor underlineColor = clBlack;
    std::array<LyricsFrameLine, kLyricsFrameLines> lines;
};

// glyphHeight: the height of "j" in the lyrics font; width: the display window's width.
LyricsFrame BuildLyricsFrame(const LyricsTable& table, int start, const LyricsSettings& settings,
                             int glyphHeight, int width);

}  // namespace pelvano::core
