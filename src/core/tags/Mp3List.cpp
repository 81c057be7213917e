#include "core/tags/Mp3List.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/app/TextHelpers.h"
#include "core/ports/EventPump.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/RowFill.h"
#include "core/schedule/ScheduleEdits.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

bool isMp3Path(const std::string& path) {
    return EqualsIgnoreCaseGbk(ExtensionOf(path), ".mp3");
}

}  // namespace

Mp3List::Mp3List(StoredPathResolver resolver, DurationMeasurer* measurer, EventPump* pump,
                 TID3v2Tag& tag)
    : resolver_(std::move(resolver)), measurer_(measurer), pump_(pump), tag_(tag) {
    SetListHeader(sgSong);
}

std::string Mp3List::fileOf(int row) const {
    const std::string& stored = sgSong.cell(kListColFile, row);
    return stored.empty() ? std::string() : resolver_.resolve(stored);
}

bool Mp3List::hasOnlyPlaceholderRow() const {
    if (sgSong.dataRowCount() != 1) return false;
    for (int col = 1; col < sgSong.colCount(); ++col)
        if (!sgSong.cell(col, 1).empty()) return false;
    return true;
}

int Mp3List::InsertFiles(int row, const std::vector<std::string>& paths,
                         std::vector<std::string>* refused) {
    const bool placeholder = hasOnlyPlaceholderRow();
    row = placeholder ? 1 : std::clamp(row, 1, sgSong.rowCount());
    int added = 0;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (pump_) pump_->processPendingEvents();
        if (!isMp3Path(*it)) continue;
        if (it->find_first_of("\r\n") != std::string::npos) {
            if (refused) refused->insert(refused->begin(), *it);
            continue;
        }
        InsertEmptyRow(sgSong, row);
        if (FillRow(row, *it)) ++added;
    }
    if (placeholder && added > 0) DeleteRow(sgSong, sgSong.rowCount() - 1);
    Renumber(sgSong, kListColNumber, 1, ' ', 5);
    return added;
}

bool Mp3List::FillRow(int row, const std::string& nativePath) {
    std::string length;
    if (measurer_) {
        try {
            length = MeasureDuration(*measurer_, nativePath);
        } catch (const std::exception&) {
            DeleteRow(sgSong, row);
            return false;
        }
    }
    const std::string stored = StoredFormOfNativePath(nativePath);
    sgSong.setCell(kListColLength, row, length);
    sgSong.setCell(kListColFile, row, stored);
    bool tagged = false;
    try {
        tag_.ReadFromFile(nativePath);
        tagged = tag_.Exists || tag_.ExistsV1;
    } catch (const TagFileError&) {
    }
    const std::string baseName = GetField(FileNameOf(stored), ".", 1);
    sgSong.setCell(kListColTitle, row,
                   SanitizeCellText(tagged && !tag_.Title.empty() ? tag_.Title : baseName));
    sgSong.setCell(kListColArtist, row, SanitizeCellText(tagged ? tag_.Artist : std::string()));
    return true;
}

void Mp3List::DeleteSelection(bool editing) {
    const GridSelection sel = sgSong.selection();
    const int top = std::max(1, sel.top);
    const int bottom = std::min(sgSong.rowCount() - 1, sel.bottom);
    if (editing) {
        for (int row = top; row <= bottom; ++row)
            for (int col = std::max(0, sel.left); col <= std::min(sgSong.colCount() - 1, sel.right);
                 ++col)
                sgSong.setCell(col, row, {});
        return;
    }
    if (top > bottom) return;
    if (top == 1 && bottom == sgSong.rowCount() - 1) {
        sgSong.setRowCount(2);
        sgSong.clearRow(1);
    } else {
        for (int row = bottom; row >= top; --row) DeleteRow(sgSong, row);
    }
    sgSong.setCurrentRow(top);
    sgSong.setSelection({0, sgSong.currentRow(), sgSong.colCount() - 1, sgSong.currentRow()});
    Renumber(sgSong, kListColNumber, 1, ' ', 5);
}

void Mp3List::SelectAll() {
    sgSong.setSelection({1, 1, sgSong.colCount() - 1, sgSong.rowCount() - 1});
}

void Mp3List::MoveRow(int from, int to) {
    const int last = sgSong.rowCount() - 1;
    if (from < 1 || from > last || to < 1 || to > last || from == to) return;
    std::vector<std::string> cells;
    for (int col = 0; col < sgSong.colCount(); ++col) cells.push_back(sgSong.cell(col, from));
    sgSong.removeRow(from);
    sgSong.insertRow(to);
    for (int col = 0; col < sgSong.colCount(); ++col)
        sgSong.setCell(col, to, std::move(cells[static_cast<std::size_t>(col)]));
    sgSong.setCurrentRow(to);
    Renumber(sgSong, kListColNumber, 1, ' ', 5);
}

std::string Mp3List::TagInfo(int row) {
    const std::string path = fileOf(row);
    if (path.empty() || !FileExists(path)) return {};
    try {
        tag_.ReadFromFile(path);
    } catch (const TagFileError&) {
        return {};
    }
    return Gbk("标题: ") + tag_.Title + "\r\n" + Gbk("艺人: ") + tag_.Artist + "\r\n" +
           Gbk("专集: ") + tag_.Album + "\r\n" + Gbk("年代: ") + tag_.Year + "\r\n" +
           Gbk("备注: ") + tag_.Comment + "\r\n" + Gbk("歌词: ") + tag_.Lyrics;
}

}  // namespace pelvano::core
