// LRC text on any bytes: parsing, then the current line at a few positions and the lines that
// would be saved.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsEditCommands.h"
#include "core/lyrics/LyricsTiming.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    LyricsState state;
    std::vector<std::string> lines = SplitLyricLines(std::string_view(reinterpret_cast<const char*>(data), size));
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
    LyricsToLines(state.table, state.offsetMs);
    return 0;
}
