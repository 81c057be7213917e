// LRC files of any bytes: decoding, parsing, then the current line at a few positions and the
// lines that would be saved, in every encoding a lyrics file is written in.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsEditCommands.h"
#include "core/lyrics/LyricsFile.h"
#include "core/lyrics/LyricsTiming.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    LyricsState state;
    const LyricsFileText file =
        DecodeLyricsFile(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> lines = SplitLyricLines(file.text);
    state.offsetMs = LyricOffsetMs(lines);
    ExpandTimeTags(lines);
    ParseLyricLines(lines, state.table);
    for (int p : {0, 1000, 60000, 2'000'000'000}) {
        const int row = SeekRow(state, p);
        if (row < 1 || row > state.table.lastDataRow()) __builtin_trap();
        state.CurrentLyricRow = row;
        AdvanceRow(state, p);
    }
    ShiftLyricTimes(state.table, -20);
    std::string saved;
    for (const std::string& line : LyricsToLines(state.table, state.offsetMs))
        saved += line + "\r\n";
    for (LyricsFileEncoding encoding :
         {LyricsFileEncoding::Gbk, LyricsFileEncoding::Utf8, LyricsFileEncoding::Utf8WithBom,
          LyricsFileEncoding::Utf16LeWithBom, LyricsFileEncoding::Utf16BeWithBom}) {
        // A file we write reads back in the encoding it was written in.
        const LyricsFileText again = DecodeLyricsFile(EncodeLyricsFile(saved, encoding));
        if (again.encoding && encoding != LyricsFileEncoding::Gbk && *again.encoding != encoding)
            __builtin_trap();
    }
    return 0;
}
