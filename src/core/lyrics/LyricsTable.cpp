#include "core/lyrics/LyricsTable.h"

#include <algorithm>

#include "core/app/Encoding.h"
#include "core/schedule/GridRows.h"

namespace pelvano::core {

const std::string& LyricsTimeHeader() {
    return Gbk(" 时间");
}
const std::string& LyricsTextHeader() {
    return Gbk(" 歌词内容");
}

LyricsTable::LyricsTable() : Grid(2, 2) {
    setColWidth(kLyricTimeCol, 59);
    setColWidth(kLyricTextCol, 213);
    reset();
}

void LyricsTable::reset() {
    ClearRows(*this);
    SetHeaderRow(*this, {LyricsTimeHeader(), LyricsTextHeader()});
    moveToRow(1);
}

void LyricsTable::moveToRow(int row) {
    setCurrentRow(row);
    setSelection({0, currentRow(), colCount() - 1, currentRow()});
}

std::pair<int, int> LyricsTable::selectedRows() const {
    const int current = currentRow();
    const int top = std::max(1, selection().top);
    const int bottom = std::min(lastDataRow(), selection().bottom);
    if (top <= current && current <= bottom) return {top, bottom};
    return {current, current};
}

}  // namespace pelvano::core
