#include <gtest/gtest.h>

#include <filesystem>

#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleEdits.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

// A table of n rows titled "r1" .. "rn", numbered.
ScheduleTable tableOf(int n, int playingRow) {
    ScheduleTable t;
    t.sgJM.setRowCount(n + 1);
    for (int r = 1; r <= n; ++r) t.sgJM.setCell(kColTitle, r, "r" + std::to_string(r));
    PrepareScheduleGrid(t.sgJM);
    t.PlayingRow = playingRow;
    return t;
}

std::vector<std::string> titles(const ScheduleTable& t) {
    std::vector<std::string> out;
    for (int r = 1; r < t.sgJM.rowCount(); ++r) out.push_back(t.sgJM.cell(kColTitle, r));
    return out;
}

// Fills rows with the path as title; paths containing "bad" cannot be measured.
bool fakeFill(Grid& grid, int row, const std::string& path) {
    if (path.find("bad") != std::string::npos) {
        DeleteRow(grid, row);
        return false;
    }
    grid.setCell(kColTitle, row, path);
    return true;
}

TEST(InsertFiles, FilesStandInListOrderAndThePlayingRowFollowsItsItem) {
    ScheduleTable t = tableOf(8, 7);
    EXPECT_EQ(InsertFiles(t, 5, {"a", "b", "c"}, fakeFill, nullptr), 3);
    EXPECT_EQ(titles(t), (std::vector<std::string>{"r1", "r2", "r3", "r4", "a", "b", "c", "r5",
                                                   "r6", "r7", "r8"}));
    EXPECT_EQ(t.PlayingRow, 10);
    EXPECT_EQ(t.sgJM.cell(kColTitle, t.PlayingRow), "r7");
    EXPECT_EQ(t.sgJM.cell(kColNumber, 11), "  11");

    // Files that cannot be measured lose their rows and take back their shift.
    ScheduleTable u = tableOf(8, 7);
    EXPECT_EQ(InsertFiles(u, 5, {"a", "bad1", "c", "bad2"}, fakeFill, nullptr), 2);
    EXPECT_EQ(u.PlayingRow, 9);
    EXPECT_EQ(u.sgJM.cell(kColTitle, u.PlayingRow), "r7");
    EXPECT_EQ(u.sgJM.cell(kColTitle, 6), "c");

    // Rows above the insertion do not move the row on air; neither does an insertion below it.
    ScheduleTable v = tableOf(4, 2);
    InsertFiles(v, 3, {"x"}, fakeFill, nullptr);
    EXPECT_EQ(v.PlayingRow, 2);
    InsertFiles(v, 2, {"y"}, fakeFill, nullptr);
    EXPECT_EQ(v.PlayingRow, 3);
}

TEST(DeleteSelection, RowModeKeepsThePlayingRowOnItsItem) {
    for (const auto& [playing, expected] :
         std::vector<std::pair<int, int>>{{6, 4}, {4, 2}, {2, 2}, {3, 2}}) {
        ScheduleTable t = tableOf(8, playing);
        DeleteSelection(t, {0, 3, 9, 4}, true);
        EXPECT_EQ(t.PlayingRow, expected) << "playing " << playing;
        EXPECT_EQ(titles(t), (std::vector<std::string>{"r1", "r2", "r5", "r6", "r7", "r8"}));
        EXPECT_EQ(t.sgJM.cell(kColNumber, 6), "   6");
    }
    // The last rows: the current row moves up with them.
    ScheduleTable t = tableOf(5, 0);
    DeleteSelection(t, {0, 4, 9, 5}, true);
    EXPECT_EQ(titles(t), (std::vector<std::string>{"r1", "r2", "r3"}));
}

TEST(DeleteSelection, AllRowsLeaveOneEmptyRowAndCellModeOnlyEmptiesCells) {
    ScheduleTable t = tableOf(6, 3);
    SelectAll(t.sgJM);
    EXPECT_EQ(t.sgJM.selection().top, 1);
    EXPECT_EQ(t.sgJM.selection().bottom, 6);
    EXPECT_EQ(t.sgJM.selection().left, 1);
    DeleteSelection(t, t.sgJM.selection(), true);
    EXPECT_EQ(t.sgJM.rowCount(), 2);
    EXPECT_EQ(RowToLine(t.sgJM, 1), std::string(20, '^'));
    EXPECT_EQ(t.PlayingRow, 3);  // left as it was: nothing is on the table to point at

    ScheduleTable c = tableOf(4, 2);
    c.sgJM.setCell(kColArtist, 2, "artist");
    DeleteSelection(c, {1, 2, 2, 3}, false);
    EXPECT_EQ(c.sgJM.rowCount(), 5);
    EXPECT_EQ(c.sgJM.cell(kColTitle, 2), "");
    EXPECT_EQ(c.sgJM.cell(kColArtist, 2), "");
    EXPECT_EQ(c.sgJM.cell(kColTitle, 3), "");
    EXPECT_EQ(c.sgJM.cell(kColNumber, 2), "   2");
    EXPECT_EQ(c.sgJM.cell(kColTitle, 4), "r4");
    EXPECT_EQ(c.PlayingRow, 2);
}

TEST(MoveRow, ThePlayingRowFollowsItsItem) {
    EXPECT_EQ(PlayingRowAfterMove(2, 2, 5), 5);
    EXPECT_EQ(PlayingRowAfterMove(4, 2, 5), 3);
    EXPECT_EQ(PlayingRowAfterMove(3, 5, 2), 4);
    EXPECT_EQ(PlayingRowAfterMove(2, 5, 2), 3);
    EXPECT_EQ(PlayingRowAfterMove(5, 2, 5), 4);
    EXPECT_EQ(PlayingRowAfterMove(7, 2, 5), 7);
    EXPECT_EQ(PlayingRowAfterMove(0, 2, 5), 0);
    // Against the table itself: whatever the move, the row on air holds the same item.
    for (int from = 1; from <= 6; ++from) {
        for (int to = 1; to <= 6; ++to) {
            for (int p = 1; p <= 6; ++p) {
                ScheduleTable t = tableOf(6, p);
                MoveRow(t, from, to);
                ASSERT_EQ(t.sgJM.cell(kColTitle, t.PlayingRow), "r" + std::to_string(p))
                    << from << "->" << to;
                ASSERT_EQ(t.sgJM.cell(kColTitle, to), "r" + std::to_string(from));
                ASSERT_EQ(t.sgJM.cell(kColNumber, to), "   " + std::to_string(to));
            }
        }
    }
}

TEST(AppendSchedule, RowsOfTheOtherFileFollowAndAnEmptyFileAddsNothing) {
    test::TempDir dir;
    ScheduleTable other = tableOf(2, 0);
    const std::string file = dir.file("other.JMB");
    ASSERT_TRUE(SaveSchedule(file, other.sgJM, {}).ok);
    const std::string empty = dir.write("empty.JMB", "");

    ScheduleTable t = tableOf(3, 2);
    Grid buffer(kScheduleColumns, 2);
    LoadSchedule(file, buffer, {});
    AppendSchedule(t, buffer);
    EXPECT_EQ(titles(t), (std::vector<std::string>{"r1", "r2", "r3", "r1", "r2"}));
    EXPECT_EQ(t.sgJM.cell(kColNumber, 5), "   5");
    LoadSchedule(empty, buffer, {});  // the buffer still held the rows of the first file
    AppendSchedule(t, buffer);
    EXPECT_EQ(t.sgJM.rowCount(), 6);

    // Into an empty table the first row is reused.
    ScheduleTable e;
    PrepareScheduleGrid(e.sgJM);
    e.sgJM.setCell(kColNumber, 1, "");
    LoadSchedule(file, buffer, {});
    AppendSchedule(e, buffer);
    EXPECT_EQ(titles(e), (std::vector<std::string>{"r1", "r2"}));
    EXPECT_EQ(e.sgJM.cell(0, 0), ScheduleHeaderTexts()[0]);
}

TEST(CollectDroppedFiles, FoldersGiveEveryFileOnceEvenThroughALinkBackToThemselves) {
    test::TempDir dir;
    namespace fs = std::filesystem;
    const fs::path root = dir.path() / "drop";
    fs::create_directories(root / "b" / "inner");
    dir.write("drop/a.mp3", "");
    dir.write("drop/b/inner/c.mp3", "");
    dir.write("drop/b/d.wav", "");
    dir.write("drop/e.txt", "");
    fs::create_directory_symlink(root, root / "b" / "loop");
    fs::create_directory_symlink(root / "b", root / "z-link");
    const std::string single = dir.write("single.mp3", "");

    const auto files = CollectDroppedFiles({root.string(), single}, nullptr);
    const std::vector<std::string> expected = {
        (root / "a.mp3").string(), (root / "b" / "d.wav").string(),
        (root / "b" / "inner" / "c.mp3").string(), (root / "e.txt").string(), single};
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(CollectDroppedFiles({(root / "missing").string()}, nullptr).size() == 1);
}

TEST(ScheduleEditRules, EditableColumnsAndFileNames) {
    std::vector<int> editable;
    for (int col = 0; col < kScheduleColumns; ++col) {
        if (IsEditableColumn(col)) editable.push_back(col);
    }
    EXPECT_EQ(editable, (std::vector<int>{1, 4, 5, 6, 7, 8}));

    const AppPaths paths = AppPaths::ofFolder("/station");
    EXPECT_EQ(SaveAsProposal(paths, {2026, 12, 7, 23, 59, 59}), "/station/2026-12-08.JMB");
    EXPECT_EQ(SaveAsProposal(paths, {2026, 12, 31, 8, 0, 0}), "/station/2027-01-01.JMB");
    EXPECT_EQ(WithJmbExtension("/s/a.txt"), "/s/a.JMB");
    EXPECT_EQ(WithJmbExtension("/s/v1.0/plain"), "/s/v1.0/plain.JMB");
    EXPECT_EQ(WithJmbExtension("/s/x.jmb"), "/s/x.JMB");

    // An edited title that would break the row's line form round-trips as one cell.
    ScheduleTable t = tableOf(1, 0);
    t.sgJM.setCell(kColTitle, 1, SanitizeCellText("a^^^b\r\nc^d^"));
    EXPECT_EQ(t.sgJM.cell(kColTitle, 1), "a^b  c^d");
    Grid back(kScheduleColumns, 2);
    LineToRow(UnscrambleLine(ScrambleLine(RowToLine(t.sgJM, 1))), back, 1);
    EXPECT_EQ(back.cell(kColTitle, 1), "a^b  c^d");
    EXPECT_EQ(back.cell(kColArtist, 1), "");
}

}  // namespace
}  // namespace pelvano::core
