#include "core/lyrics/LyricsFrame.h"

namespace pelvano::core {

LyricsFrame BuildLyricsFrame(const LyricsTable& table, int start, const LyricsSettings& settings,
                             int glyphHeight, int width) {
    LyricsFrame frame;
    frame.lineHeight = glyphHeight + 2;
    frame.width = width;
    frame.height = kLyricsFrameLines * frame.lineHeight;
    frame.alignment = settings.alignment();
    frame.font = settings.plMusicFont();
    frame.underlineColor = settings.plMusicFrameColor();
    const int h = frame.lineHeight;
    for (int i = 0; i < kLyricsFrameLines; ++i) {
        LyricsFrameLine& line = frame.lines[static_cast<std::size_t>(i)];
        const long long row = static_cast<long long>(start) + i;
        // The header row is no lyric line, so a start before row 1 shows blanks there too.
        const bool inTable = row >= 1 && row <= table.lastDataRow();
        line.text = inTable ? table.textOf(static_cast<int>(row)) : " ";
        line.current = i == 0;
        line.color = i == 0 ? settings.plCurTextColor() : frame.font.color;
        line.top = h * i;
        line.bottom = h * i + h - 3;
        line.underline = line.text != " " && frame.underlineColor != clBlack;
    }
    return frame;
}

}  // namespace pelvano::core
