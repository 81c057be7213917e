#include "core/lyrics/LyricsTable.h"

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
}

}  // namespace pelvano::core
