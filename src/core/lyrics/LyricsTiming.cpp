#include "core/lyrics/LyricsTiming.h"

#include "core/app/TextHelpers.h"

namespace pelvano::core {

std::int64_t LyricDueMs(const LyricsState& state, int row) {
    return static_cast<std::int64_t>(ParseMinSec(state.table.timeOf(row))) - state.offsetMs;
}

int AdvanceRow(const LyricsState& state, int positionMs) {
    const int next = state.CurrentLyricRow + 1;
    if (next < 1 || next > state.table.lastDataRow()) return 0;
    return positionMs >= LyricDueMs(state, next) ? next : 0;
}

int SeekRow(const LyricsState& state, int positionMs) {
    int row = 1;
    while (row < state.table.lastDataRow() && LyricDueMs(state, row + 1) <= positionMs) ++row;
    return row;
}

}  // namespace pelvano::core
