#include "core/tags/Mp3ListFile.h"

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleFile.h"

namespace pelvano::core {

void SetListHeader(Grid& grid) {
    grid.setColCount(kListColCount);
    SetHeaderRow(grid, {Gbk(" 序号"), Gbk("歌曲"), Gbk("歌手"), Gbk("时长"), Gbk("文件名")});
    Renumber(grid, kListColNumber, 1, ' ', 5);
}

void LoadList(const std::string& nativePath, Grid& grid) {
    std::string bytes;
    if (!ReadFileBytes(nativePath, bytes)) bytes.clear();
    grid.setColCount(kListColCount);
    grid.setRowCount(2);
    grid.clearRow(1);
    int row = 0;
    ForEachScheduleLine(bytes, [&](std::string_view line) {
        ++row;
        if (row > 1) grid.setRowCount(row + 1);
        LineToRow(line, grid, row);
    });
    grid.setCurrentRow(1);
    SetListHeader(grid);
}

bool SaveList(const std::string& nativePath, const Grid& grid, std::string* error) {
    std::string bytes;
    for (int row = 1; row < grid.rowCount(); ++row) {
        bytes += RowToLine(grid, row);
        bytes += "\r\n";
    }
    return WriteFileAtomically(nativePath, bytes, error);
}

}  // namespace pelvano::core
