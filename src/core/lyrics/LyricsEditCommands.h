#pragma once
// The editor's operations on the lyrics table, each on the grid's current row R (or all rows,
// or the selection). Times the editor writes read "mm:ss.ff"; minutes are not limited; a time
// that would fall below zero becomes 00:00.00. GBK texts. UI thread only.
#include <string>
#include <string_view>
#include <vector>

#include "core/lyrics/LyricsTable.h"

namespace pelvano::core {

// The whole-second time stepSeconds after base: "%2.2d:%2.2d.00".
std::string NeighbourTime(std::string_view base, int stepSeconds);

// A line with an empty text, stepSeconds after R, follows R.
void InsertLyricLine(LyricsTable& table, int stepSeconds);
// A new last row (or the single empty row reused), stepSeconds after the row above it; it
// becomes current.
void AddLyricLine(LyricsTable& table, int stepSeconds);
// A copy of R, stepSeconds later, follows R.
void CopyLyricLine(LyricsTable& table, int stepSeconds);
// R goes; the last remaining row is only cleared.
void DeleteLyricLine(LyricsTable& table);
// R keeps its text up to the first blank; a new row 8 seconds later takes the rest (a text
// without a blank stays whole in both).
void SplitLyricLine(LyricsTable& table);
// Every text loses its leading and trailing blanks and control characters.
void TrimLyricTexts(LyricsTable& table);
// Rows at 0, |stepSeconds|, 2 × |stepSeconds|, ... seconds.
void SpreadLyricTimes(LyricsTable& table, int stepSeconds);
// The rows of the selection (LyricsTable::selectedRows) move stepSeconds later (earlier when
// negative).
void ShiftLyricTimes(LyricsTable& table, int stepSeconds);
// The time of R becomes positionMs; the next row, if any, becomes current.
void TakeLyricTime(LyricsTable& table, long long positionMs);

// One "[time]text" line per row; rows with neither time nor text are left out. A non-zero offset
// goes first as its tag, so the file keeps showing its lines when they did.
std::vector<std::string> LyricsToLines(const LyricsTable& table, int offsetMs);

}  // namespace pelvano::core
