#pragma once
// A rectangle of GBK text cells addressed by (column, row), both from 0, with the layout a
// string grid carries: fixed (header) rows and columns, a width per column, a current row and a
// selection. Row 0 is the header; a grid always keeps at least one data row. UI thread.
#include <string>
#include <string_view>
#include <vector>

namespace pelvano::core {

struct GridSelection {
    int left = 0;
    int top = 1;
    int right = 0;
    int bottom = 1;
};

class Grid {
public:
    static constexpr int kDefaultColWidth = 64;

    explicit Grid(int colCount = 5, int rowCount = 5);

    int colCount() const { return colCount_; }
    void setColCount(int count);  // at least 1
    int rowCount() const { return static_cast<int>(rows_.size()); }
    void setRowCount(int count);  // at least 2: one header and one data row
    int dataRowCount() const { return rowCount() - 1; }

    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int count);  // limited so that one scrolling row remains
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int count);  // limited so that one scrolling column remains

    int colWidth(int col) const;
    void setColWidth(int col, int width);

    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);  // limited to the data rows
    const GridSelection& selection() const { return selection_; }
    void setSelection(const GridSelection& selection) { selection_ = selection; }

    // Out-of-range cells read as empty and ignore writes.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);
    void clearRow(int row);

    // Whole-row moves, for the row operations: a new empty row before index; row index removed.
    void insertRow(int index);
    void removeRow(int index);
    // Row from taken out and put back at index to (both data rows); the rows between shift.
    void moveRow(int from, int to);

private:
    int colCount_;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int currentRow_ = 1;
    GridSelection selection_;
    std::vector<int> colWidths_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace pelvano::core
