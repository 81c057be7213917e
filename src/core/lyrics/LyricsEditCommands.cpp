#include "core/lyrics/LyricsEditCommands.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "core/app/TextHelpers.h"
#include "core/lyrics/LrcText.h"
#include "core/schedule/GridRows.h"

namespace pelvano::core {

namespace {

constexpr int kSplitStepSeconds = 8;

std::string TimeAtMs(long long ms) {
    return FormatMinSec(static_cast<int>(
        std::clamp(ms, 0LL, static_cast<long long>(std::numeric_limits<int>::max()))));
}

// Rows R and R + 1 both hold the current line; R + 1 is the one to rewrite. A row without a time
// is duplicated like any other, so its text survives.
int DuplicateCurrentRow(LyricsTable& table) {
    const int r = table.currentRow();
    InsertEmptyRow(table, r);
    CopyRow(table, r + 1, r);
    table.moveToRow(r);
    return r + 1;
}

}  // namespace

std::string NeighbourTime(std::string_view base, int stepSeconds) {
    const long long ms =
        static_cast<long long>(ParseMinSec(base)) + static_cast<long long>(stepSeconds) * 1000;
    return FormatWholeSeconds(ms < 0 ? 0 : ms / 1000);
}

void InsertLyricLine(LyricsTable& table, int stepSeconds) {
    const int added = DuplicateCurrentRow(table);
    table.setCell(kLyricTimeCol, added, NeighbourTime(table.timeOf(added - 1), stepSeconds));
    table.setCell(kLyricTextCol, added, {});
}

void AddLyricLine(LyricsTable& table, int stepSeconds) {
    // Only a table holding nothing but one empty row reuses it; other rows are never dropped.
    const bool reuse = table.rowCount() == 2 && table.timeOf(1).empty();
    if (!reuse) table.setRowCount(table.rowCount() + 1);
    const int row = table.lastDataRow();
    table.moveToRow(row);
    table.setCell(kLyricTimeCol, row,
                  NeighbourTime(table.cell(kLyricTimeCol, row - 1), stepSeconds));
}

void CopyLyricLine(LyricsTable& table, int stepSeconds) {
    const int added = DuplicateCurrentRow(table);
    table.setCell(kLyricTimeCol, added, NeighbourTime(table.timeOf(added - 1), stepSeconds));
}

void DeleteLyricLine(LyricsTable& table) {
    DeleteRow(table, table.currentRow());
    table.moveToRow(table.currentRow());
}

void SplitLyricLine(LyricsTable& table) {
    const int added = DuplicateCurrentRow(table);
    const std::string text = table.textOf(added - 1);
    const std::size_t blank = text.find(' ');
    if (blank != std::string::npos) {
        table.setCell(kLyricTextCol, added - 1, text.substr(0, blank));
        table.setCell(kLyricTextCol, added, text.substr(blank + 1));
    }
    table.setCell(
        kLyricTimeCol, added,
        FormatWholeSeconds(static_cast<long long>(WholeSecondsOf(table.timeOf(added - 1))) +
                           kSplitStepSeconds));
}

void TrimLyricTexts(LyricsTable& table) {
    for (int r = 1; r <= table.lastDataRow(); ++r)
        table.setCell(kLyricTextCol, r, Trim(table.textOf(r)));
}

void SpreadLyricTimes(LyricsTable& table, int stepSeconds) {
    const long long step = std::abs(static_cast<long long>(stepSeconds));
    for (int r = 1; r <= table.lastDataRow(); ++r) {
        table.setCell(kLyricTimeCol, r, FormatWholeSeconds(step * (r - 1)));
    }
}

void ShiftLyricTimes(LyricsTable& table, int stepSeconds) {
    const auto [top, bottom] = table.selectedRows();
    for (int r = top; r <= bottom; ++r) {
        table.setCell(
            kLyricTimeCol, r,
            TimeAtMs(static_cast<long long>(ParseMinSec(table.timeOf(r))) + stepSeconds * 1000LL));
    }
}

void TakeLyricTime(LyricsTable& table, long long positionMs) {
    const int r = table.currentRow();
    table.setCell(kLyricTimeCol, r, TimeAtMs(positionMs));
    if (r < table.lastDataRow()) table.moveToRow(r + 1);
}

std::vector<std::string> LyricsToLines(const LyricsTable& table, int offsetMs) {
    std::vector<std::string> lines;
    for (int r = 1; r <= table.lastDataRow(); ++r) {
        if (table.timeOf(r).empty() && table.textOf(r).empty()) continue;
        lines.push_back("[" + table.timeOf(r) + "]" + table.textOf(r));
    }
    if (!lines.empty() && offsetMs != 0) lines.insert(lines.begin(), OffsetTagLine(offsetMs));
    return lines;
}

}  // namespace pelvano::core
