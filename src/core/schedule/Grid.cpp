#include "core/schedule/Grid.h"

#include <algorithm>

namespace pelvano::core {

Grid::Grid(int colCount, int rowCount) : colCount_(std::max(1, colCount)) {
    colWidths_.assign(static_cast<std::size_t>(colCount_), kDefaultColWidth);
    setRowCount(rowCount);
}

void Grid::setColCount(int count) {
    colCount_ = std::max(1, count);
    colWidths_.resize(static_cast<std::size_t>(colCount_), kDefaultColWidth);
    for (auto& row : rows_) row.resize(static_cast<std::size_t>(colCount_));
    setFixedCols(fixedCols_);
}

void Grid::setRowCount(int count) {
    count = std::max(2, count);
    rows_.resize(static_cast<std::size_t>(count), std::vector<std::string>(static_cast<std::size_t>(colCount_)));
    setFixedRows(fixedRows_);
    setCurrentRow(currentRow_);
}

void Grid::setFixedRows(int count) { fixedRows_ = std::clamp(count, 0, rowCount() - 1); }
void Grid::setFixedCols(int count) { fixedCols_ = std::clamp(count, 0, colCount_ - 1); }

int Grid::colWidth(int col) const {
    return col >= 0 && col < colCount_ ? colWidths_[static_cast<std::size_t>(col)] : kDefaultColWidth;
}

void Grid::setColWidth(int col, int width) {
    if (col >= 0 && col < colCount_) colWidths_[static_cast<std::size_t>(col)] = std::max(0, width);
}

void Grid::setCurrentRow(int row) { currentRow_ = std::clamp(row, 1, rowCount() - 1); }

const std::string& Grid::cell(int col, int row) const {
    static const std::string kEmpty;
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount()) return kEmpty;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Grid::setCell(int col, int row, std::string text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
}

void Grid::clearRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    for (auto& c : rows_[static_cast<std::size_t>(row)]) c.clear();
}

void Grid::insertRow(int index) {
    index = std::clamp(index, 1, rowCount());
    rows_.insert(rows_.begin() + index, std::vector<std::string>(static_cast<std::size_t>(colCount_)));
}

void Grid::removeRow(int index) {
    if (index < 1 || index >= rowCount()) return;
    rows_.erase(rows_.begin() + index);
    setRowCount(rowCount());
}

void Grid::moveRow(int from, int to) {
    if (from < 1 || to < 1 || from >= rowCount() || to >= rowCount() || from == to) return;
    const auto first = rows_.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

}  // namespace pelvano::core
