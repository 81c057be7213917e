#pragma once
// The timed lyric lines of the item on air: a two-column grid (time text as it stood between the
// brackets of its tag, lyric text) with one header row, and the display state that goes with it.
// Texts are GBK bytes. UI thread only.
#include <string>
#include <utility>
#include <vector>

#include "core/schedule/Grid.h"

namespace pelvano::core {

inline constexpr int kLyricTimeCol = 0;
inline constexpr int kLyricTextCol = 1;

class LyricsTable : public Grid {
  public:
    LyricsTable();

    // ClearRows and the two header cells.
    void reset();
    int lastDataRow() const { return rowCount() - 1; }
    const std::string& timeOf(int row) const { return cell(kLyricTimeCol, row); }
    const std::string& textOf(int row) const { return cell(kLyricTextCol, row); }
    // Makes row the current row and the whole selection, as a click on it does. Everything that
    // moves the current line uses this, so that the selection never stays behind on another row.
    void moveToRow(int row);
    // The rows the selection spans when it holds the current row (the operator selected a
    // range); otherwise the current row alone. Limited to the data rows.
    std::pair<int, int> selectedRows() const;
};

// The header cells " 时间" and " 歌词内容" (GBK).
const std::string& LyricsTimeHeader();
const std::string& LyricsTextHeader();

struct LyricsState {
    LyricsTable table;
    // The row shown as the current line.
    int CurrentLyricRow = 1;
    // Pixels scrolled in the running line-change animation; 0 when none runs.
    int LyricScrollCount = 0;
    // From an "[offset:N]" tag: a positive value shows every line that many ms sooner. The
    // table keeps the file's own times.
    int offsetMs = 0;
    // The raw lines last loaded or saved, as the editor's text box shows them.
    std::vector<std::string> rawLines;
};

}  // namespace pelvano::core
