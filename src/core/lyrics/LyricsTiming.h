#pragma once
// Which lyric line is current at a play position. A row is due at its time less the file's
// offset; the current line is the last row whose time has passed, whether the position moved on
// by a tick or jumped. UI thread or any single thread.
#include <cstdint>

#include "core/lyrics/LyricsTable.h"

namespace pelvano::core {

std::int64_t LyricDueMs(const LyricsState& state, int row);
// The next row when it is due at positionMs, else 0: the line moves on by one row at most.
int AdvanceRow(const LyricsState& state, int positionMs);
// The row current at positionMs after a jump, following the rows in table order: row 1 before
// its time, else the last row of the run from row 1 whose times have passed.
int SeekRow(const LyricsState& state, int positionMs);

}  // namespace pelvano::core
