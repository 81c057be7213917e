#include "core/schedule/GridRows.h"

#include <algorithm>

#include "core/app/TextHelpers.h"

namespace pelvano::core {

std::string RowToLine(const Grid& grid, int row) {
    std::string line;
    for (int col = 0; col < grid.colCount(); ++col) {
        line += grid.cell(col, row);
        line += kCellSeparator;
    }
    return line;
}

int CountSeparators(std::string_view text) { return CountFields(text, kCellSeparator) - 1; }

void LineToRow(std::string_view text, Grid& grid, int row) {
    grid.clearRow(row);
    for (int col = 0; col < grid.colCount(); ++col) {
        const auto pos = text.find(kCellSeparator);
        if (pos == std::string_view::npos) {
            grid.setCell(col, row, std::string(text));
            return;
        }
        grid.setCell(col, row, std::string(text.substr(0, pos)));
        text.remove_prefix(pos + kCellSeparator.size());
    }
}

void SetHeaderRow(Grid& grid, const std::vector<std::string>& texts) {
    const int k = static_cast<int>(texts.size()) - 1;
    if (grid.colCount() < k + 1) grid.setColCount(k + 1);
    for (int col = 0; col <= std::min(k, grid.colCount() - 1); ++col) grid.setCell(col, 0, texts[static_cast<std::size_t>(col)]);
}

void Renumber(Grid& grid, int column, int first, char padChar, int width) {
    for (int r = 1; r < grid.rowCount(); ++r) {
        grid.setCell(column, r, PadLeft(std::to_string(first + r - 1), padChar, width));
    }
}

void CopyRow(Grid& grid, int from, int to) {
    for (int col = 0; col < grid.colCount(); ++col) grid.setCell(col, to, grid.cell(col, from));
}

void InsertEmptyRow(Grid& grid, int index) {
    grid.insertRow(index);
    grid.setCurrentRow(index);
}

void DeleteRow(Grid& grid, int index) {
    if (index < 1 || index >= grid.rowCount()) return;
    if (grid.rowCount() <= 2) {
        grid.clearRow(1);
        return;
    }
    if (index == grid.rowCount() - 1) grid.setCurrentRow(index - 1);
    grid.removeRow(index);
}

void AppendRows(const Grid& source, Grid& target) {
    if (source.cell(0, source.fixedRows()).empty()) return;
    for (int r = source.fixedRows(); r < source.rowCount(); ++r) {
        const bool reuseFirst = target.rowCount() == 2 && target.cell(0, 1).empty();
        if (!reuseFirst) target.setRowCount(target.rowCount() + 1);
        const int last = target.rowCount() - 1;
        target.clearRow(last);
        for (int col = 0; col < std::min(source.colCount(), target.colCount()); ++col) {
            target.setCell(col, last, source.cell(col, r));
        }
    }
}

void ClearRows(Grid& grid) {
    for (int r = 1; r < grid.rowCount(); ++r) grid.clearRow(r);
    grid.setRowCount(2);
}

}  // namespace pelvano::core
