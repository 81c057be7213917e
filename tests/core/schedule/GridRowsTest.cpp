#include "core/schedule/GridRows.h"

#include <gtest/gtest.h>

namespace pelvano::core {
namespace {

Grid numbered(int dataRows, int cols = 3) {
    Grid g(cols, dataRows + 1);
    for (int r = 1; r <= dataRows; ++r) g.setCell(0, r, std::to_string(r));
    return g;
}

TEST(GridRows, LineFormRoundTrip) {
    Grid g(10, 2);
    g.setCell(0, 1, "a");
    g.setCell(1, 1, "b");
    EXPECT_EQ(RowToLine(g, 1), "a^^b^^" + std::string(16, '^'));
    EXPECT_EQ(CountSeparators(RowToLine(g, 1)), 10);
    Grid h(10, 2);
    h.setCell(5, 1, "stale");
    LineToRow(RowToLine(g, 1), h, 1);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(h.cell(c, 1), g.cell(c, 1));
    LineToRow("x^^y", h, 1);  // fewer fields: the rest stays empty, the last has no separator
    EXPECT_EQ(h.cell(1, 1), "y");
    EXPECT_EQ(h.cell(2, 1), "");
    Grid two(2, 2);
    LineToRow("1^^2^^3^^4^^", two, 1);  // more fields than columns: dropped
    EXPECT_EQ(two.cell(1, 1), "2");
}

TEST(GridRows, HeaderAndNumbers) {
    Grid g(2, 5);
    SetHeaderRow(g, {"a", "b", "c"});
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.cell(2, 0), "c");
    Grid big(1, 10001);
    Renumber(big, 0, 1, ' ', 4);
    EXPECT_EQ(big.cell(0, 1), "   1");
    EXPECT_EQ(big.cell(0, 100), " 100");
    EXPECT_EQ(big.cell(0, 1000), "1000");
    EXPECT_EQ(big.cell(0, 10000), "10000");
}

TEST(GridRows, InsertAndDelete) {
    Grid g = numbered(3);
    InsertEmptyRow(g, 2);
    EXPECT_EQ(g.rowCount(), 5);
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(g.cell(0, 2), "");
    EXPECT_EQ(g.cell(0, 3), "2");
    DeleteRow(g, 2);
    EXPECT_EQ(g.cell(0, 2), "2");
    g.setCurrentRow(3);
    DeleteRow(g, 3);  // the last row: the current row moves up
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.currentRow(), 2);
    Grid one = numbered(1);
    DeleteRow(one, 1);  // one data row: cleared, kept
    EXPECT_EQ(one.rowCount(), 2);
    EXPECT_EQ(one.cell(0, 1), "");
    DeleteRow(one, 0);  // the header is never deleted
    DeleteRow(one, 7);
    EXPECT_EQ(one.rowCount(), 2);
    Grid c = numbered(2);
    CopyRow(c, 1, 2);
    EXPECT_EQ(c.cell(0, 2), "1");
    ClearRows(c);
    EXPECT_EQ(c.rowCount(), 2);
    EXPECT_EQ(c.cell(0, 1), "");
}

TEST(GridRows, AppendRows) {
    Grid target(3, 2);
    AppendRows(numbered(2), target);  // the empty single row is reused
    EXPECT_EQ(target.rowCount(), 3);
    EXPECT_EQ(target.cell(0, 1), "1");
    AppendRows(numbered(1), target);
    EXPECT_EQ(target.rowCount(), 4);
    EXPECT_EQ(target.cell(0, 3), "1");
    AppendRows(Grid(3, 2), target);  // an empty source adds nothing
    EXPECT_EQ(target.rowCount(), 4);
}

TEST(Grid, LimitsHoldUnderAnyInput) {
    Grid g(0, 0);
    EXPECT_EQ(g.colCount(), 1);
    EXPECT_EQ(g.rowCount(), 2);
    g.setFixedRows(5);
    EXPECT_EQ(g.fixedRows(), 1);
    g.setCurrentRow(-3);
    EXPECT_EQ(g.currentRow(), 1);
    g.setCell(9, 9, "ignored");
    EXPECT_EQ(g.cell(9, 9), "");
    g.setColWidth(0, -5);
    EXPECT_EQ(g.colWidth(0), 0);
}

}  // namespace
}  // namespace pelvano::core
