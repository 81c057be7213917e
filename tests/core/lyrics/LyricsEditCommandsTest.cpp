// The editor's table operations.
#include <gtest/gtest.h>

#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsEditCommands.h"

namespace pelvano::core {
namespace {

LyricsTable TableOf(const std::vector<std::pair<std::string, std::string>>& rows, int current = 1) {
    LyricsTable t;
    t.setRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        t.setCell(0, static_cast<int>(i) + 1, rows[i].first);
        t.setCell(1, static_cast<int>(i) + 1, rows[i].second);
    }
    t.setCurrentRow(current);
    return t;
}

std::vector<std::string> Rows(const LyricsTable& t) {
    return LyricsToLines(t, 0);
}

TEST(LyricsEditCommands, NeighbourTimes) {
    EXPECT_EQ(NeighbourTime("01:05.37", 10), "01:15.00");
    EXPECT_EQ(NeighbourTime(" 时间", 10), "00:10.00");
    EXPECT_EQ(NeighbourTime("00:03.00", -20), "00:00.00");
    EXPECT_EQ(NeighbourTime("120:00.00", 1), "120:01.00");
}

TEST(LyricsEditCommands, InsertCopyAndSplitFollowTheCurrentLine) {
    LyricsTable t = TableOf({{"01:05.37", "hello world"}, {"02:00.00", "last"}});
    InsertLyricLine(t, 10);
    EXPECT_EQ(Rows(t),
              (std::vector<std::string>{"[01:05.37]hello world", "[01:15.00]", "[02:00.00]last"}));
    EXPECT_EQ(t.currentRow(), 1);
    CopyLyricLine(t, -5);
    EXPECT_EQ(Rows(t)[1], "[01:00.00]hello world");
    SplitLyricLine(t);
    EXPECT_EQ(Rows(t)[0], "[01:05.37]hello");
    EXPECT_EQ(Rows(t)[1], "[01:13.00]world");
    EXPECT_EQ(t.lastDataRow(), 5);
}

TEST(LyricsEditCommands, ARowWithoutTimeKeepsItsText) {
    LyricsTable t = TableOf({{"00:01.00", "a"}, {"", "untimed"}, {"00:09.00", "c"}}, 2);
    InsertLyricLine(t, 10);
    EXPECT_EQ(Rows(t),
              (std::vector<std::string>{"[00:01.00]a", "[]untimed", "[00:10.00]", "[00:09.00]c"}));
    LyricsTable s = TableOf({{"", "one"}});
    SplitLyricLine(s);
    EXPECT_EQ(Rows(s), (std::vector<std::string>{"[]one", "[00:08.00]one"}));
}

TEST(LyricsEditCommands, AddAppendsOrReusesTheOnlyEmptyRow) {
    LyricsTable empty;
    AddLyricLine(empty, 10);
    EXPECT_EQ(Rows(empty), (std::vector<std::string>{"[00:10.00]"}));
    AddLyricLine(empty, 10);
    EXPECT_EQ(Rows(empty).back(), "[00:20.00]");
    EXPECT_EQ(empty.currentRow(), 2);
    // Row 1 without a time no longer throws the other rows away.
    LyricsTable t = TableOf({{"", "keep"}, {"00:30.00", "x"}});
    AddLyricLine(t, 5);
    EXPECT_EQ(Rows(t), (std::vector<std::string>{"[]keep", "[00:30.00]x", "[00:35.00]"}));
}

TEST(LyricsEditCommands, DeleteAndTrim) {
    LyricsTable t = TableOf({{"00:01.00", " \ta\x01 "}, {"00:02.00", "b"}}, 2);
    DeleteLyricLine(t);
    EXPECT_EQ(t.lastDataRow(), 1);
    TrimLyricTexts(t);
    EXPECT_EQ(t.textOf(1), "a");
    DeleteLyricLine(t);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_TRUE(Rows(t).empty());
}

TEST(LyricsEditCommands, SpreadAndShiftNeverGoBelowZero) {
    LyricsTable t = TableOf({{"00:50.00", "a"}, {"00:03.50", "b"}, {"01:00.00", "c"}}, 2);
    SpreadLyricTimes(t, -5);
    EXPECT_EQ(Rows(t), (std::vector<std::string>{"[00:00.00]a", "[00:05.00]b", "[00:10.00]c"}));
    t.setCell(0, 2, "00:03.50");
    t.setSelection(GridSelection{0, 2, 1, 3});
    ShiftLyricTimes(t, -5);
    EXPECT_EQ(Rows(t), (std::vector<std::string>{"[00:00.00]a", "[00:00.00]b", "[00:05.00]c"}));
    ShiftLyricTimes(t, 20);
    EXPECT_EQ(Rows(t)[2], "[00:25.00]c");
}

TEST(LyricsEditCommands, ShiftActsOnTheRowTheOperatorIsOn) {
    LyricsTable t = TableOf({{"00:01.00", "a"}, {"00:02.00", "b"}, {"00:03.00", "c"}, {"", "d"}});
    TakeLyricTime(t, 4000);  // row 1 timed, row 2 current
    TakeLyricTime(t, 5000);  // row 2 timed, row 3 current
    ShiftLyricTimes(t, 10);
    EXPECT_EQ(Rows(t),
              (std::vector<std::string>{"[00:04.00]a", "[00:05.00]b", "[00:13.00]c", "[]d"}));
    // A range the operator selected, holding the current row, moves as a whole...
    t.setSelection(GridSelection{0, 1, 1, 2});
    t.setCurrentRow(2);
    ShiftLyricTimes(t, -1);
    EXPECT_EQ(t.timeOf(1), "00:03.00");
    EXPECT_EQ(t.timeOf(2), "00:04.00");
    // ...until the current line moves on: then the selection is that row again.
    TakeLyricTime(t, 6000);
    EXPECT_EQ(t.selectedRows(), (std::pair<int, int>{3, 3}));
    AddLyricLine(t, 1);
    EXPECT_EQ(t.selectedRows(), (std::pair<int, int>{5, 5}));
    DeleteLyricLine(t);
    EXPECT_EQ(t.selectedRows(), (std::pair<int, int>{4, 4}));
    // A selection left elsewhere by a grid operation does not pull Shift away from the row.
    t.setSelection(GridSelection{0, 1, 1, 1});
    ShiftLyricTimes(t, 2);
    EXPECT_EQ(t.timeOf(1), "00:03.00");
    EXPECT_EQ(t.timeOf(4), "00:02.00");
}

TEST(LyricsEditCommands, TakeTimeWritesHundredthsAndMovesOn) {
    LyricsTable t = TableOf({{"", "a"}, {"", "b"}});
    TakeLyricTime(t, 83456);
    EXPECT_EQ(t.timeOf(1), "01:23.45");
    EXPECT_EQ(t.currentRow(), 2);
    TakeLyricTime(t, 90000);
    TakeLyricTime(t, 91000);
    EXPECT_EQ(t.timeOf(2), "01:31.00");
    EXPECT_EQ(t.currentRow(), 2);
}

TEST(LyricsEditCommands, LinesLeaveOutEmptyRowsAndKeepTheOffset) {
    const LyricsTable t = TableOf({{"00:01.00", ""}, {"", ""}, {"00:02.00", "x"}});
    EXPECT_EQ(LyricsToLines(t, -300),
              (std::vector<std::string>{"[offset:-300]", "[00:01.00]", "[00:02.00]x"}));
    EXPECT_TRUE(LyricsToLines(LyricsTable(), 500).empty());
}

}  // namespace
}  // namespace pelvano::core
