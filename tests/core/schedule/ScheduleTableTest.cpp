#include "core/schedule/ScheduleTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/app/Encoding.h"
#include "core/schedule/RowFill.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

ScheduleTable tableWith(std::initializer_list<std::array<const char*, 4>> rows) {
    // Each row: length, cross-fade, start time, title.
    ScheduleTable t;
    t.sgJM.setRowCount(static_cast<int>(rows.size()) + 1);
    int r = 1;
    for (const auto& row : rows) {
        t.sgJM.setCell(kColLength, r, row[0]);
        t.sgJM.setCell(kColCross, r, row[1]);
        t.sgJM.setCell(kColStartTime, r, row[2]);
        t.sgJM.setCell(kColTitle, r, row[3]);
        ++r;
    }
    return t;
}

TEST(Estimates, ChainFromEachTimedRow) {
    ScheduleTable t = tableWith({{"00:05:00", "", "", "before"},
                                 {"00:03:00", "", "08:00:00", "timed"},
                                 {"00:04:00", "5", "", "second"},
                                 {"00:01:00", "", "", "third"},
                                 {"00:01:00", "0", "23:59:00", "late"},
                                 {"00:01:00", "", "", "after midnight"}});
    RecomputeEstimates(t, 3);
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 1), "");  // above the first timed row: no estimate
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 2), "");
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 3), "08:02:57");
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 4), "08:06:52");
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 6), "23:59:57");  // an explicit 0 counts as the default
    EXPECT_EQ(t.TimedStartList, (std::vector<TimedStart>{{2, 28800}, {5, 86340}}));
}

TEST(Estimates, StartTimesThatAreNotTimesAreErased) {
    ScheduleTable t = tableWith({{"", "", "08:3 :00", "blank"},
                                 {"", "", "0800", "no colon"},
                                 {"", "", "25:00:00", "past midnight"},
                                 {"", "", "-1:00:00", "negative"}});
    t.sgJM.setCell(kColEstimate, 1, "stale");
    RecomputeEstimates(t, 3);
    EXPECT_EQ(t.sgJM.cell(kColStartTime, 1), "");
    EXPECT_EQ(t.sgJM.cell(kColStartTime, 2), "");
    EXPECT_EQ(t.sgJM.cell(kColEstimate, 1), "");
    EXPECT_EQ(t.TimedStartList, (std::vector<TimedStart>{{3, 3600}, {4, 82800}}));
    EXPECT_EQ(CrossOf("x", 4), 4);
    EXPECT_EQ(CrossOf("-2", 4), -2);
}

TEST(TodayScheduleFile, DatedThenWeekdayThenDefault) {
    test::TempDir dir;
    const AppPaths paths = AppPaths::ofFolder(dir.path().string());
    const LocalDateTime sunday{2026, 12, 6};
    EXPECT_EQ(TodayScheduleFile(paths, sunday), paths.applicationDir + "节目表.JMB");  // even if missing
    dir.write("星期日.JMB", "");
    EXPECT_EQ(TodayScheduleFile(paths, sunday), paths.applicationDir + "星期日.JMB");
    dir.write("2026-12-06.JMB", "");
    EXPECT_EQ(TodayScheduleFile(paths, sunday), paths.applicationDir + "2026-12-06.JMB");
    EXPECT_EQ(TodayScheduleFile(paths, LocalDateTime{2026, 12, 7}), paths.applicationDir + "节目表.JMB");
}

TEST(OpenScheduleTable, PreparesTheGrid) {
    test::TempDir dir;
    const std::string file = dir.write("节目表.JMB", "");
    ScheduleTable t;
    t.sgJM.setColCount(3);
    OpenScheduleTable(t, file, {}, 3);
    EXPECT_EQ(t.sgJM.colCount(), 10);
    EXPECT_EQ(t.sgJM.cell(0, 0), Gbk("序号"));
    EXPECT_EQ(t.sgJM.cell(9, 0), Gbk("估计播出时间"));
    EXPECT_EQ(t.sgJM.cell(0, 1), "   1");
    EXPECT_EQ(t.caption, Gbk("【播出节目表:节目表.JMB】"));
    EXPECT_EQ(t.CurrentSchedulePath, file);
}

struct FakeMeasurer : DurationMeasurer {
    long long measureMs(const std::string& path) override {
        if (path.find("bad") != std::string::npos) throw std::runtime_error("Invalid number of channels.");
        return 3723999;
    }
};

struct FakeTags : TagTextReader {
    std::optional<TitleArtist> answer;
    std::optional<TitleArtist> readTitleArtist(const std::string&) override { return answer; }
};

TEST(FillRowFromFile, LengthPathAndTags) {
    test::TempDir dir;
    dir.write("A.B.MP3", "x");
    const StoredPathResolver resolver(dir.path().string(), "");
    FakeMeasurer measurer;
    FakeTags tags;
    Grid g(10, 3);
    g.setCell(kColCross, 1, "9");
    ASSERT_TRUE(FillRowFromFile(g, 1, "a.b.mp3", resolver, measurer, tags));
    EXPECT_EQ(g.cell(kColLength, 1), "01:02:03");
    EXPECT_EQ(g.cell(kColFile, 1), "a.b.mp3");  // stored as given, never upper-cased
    EXPECT_EQ(g.cell(kColCross, 1), "");
    EXPECT_EQ(g.cell(kColTitle, 1), "a");        // no tag: the name up to its first dot

    tags.answer = TitleArtist{Gbk("曲目 1"), "artist"};
    ASSERT_TRUE(FillRowFromFile(g, 1, "A.B.MP3", resolver, measurer, tags));
    EXPECT_EQ(g.cell(kColTitle, 1), "A");  // placeholder title
    EXPECT_EQ(g.cell(kColArtist, 1), "artist");
    tags.answer = TitleArtist{"Song", "Singer"};
    ASSERT_TRUE(FillRowFromFile(g, 1, "A.B.MP3", resolver, measurer, tags));
    EXPECT_EQ(g.cell(kColTitle, 1), "Song");

    g.setCell(kColTitle, 2, "next");
    EXPECT_FALSE(FillRowFromFile(g, 1, "bad.mp3", resolver, measurer, tags));
    EXPECT_EQ(g.rowCount(), 2);  // the row was dropped
    EXPECT_EQ(g.cell(kColTitle, 1), "next");
}

}  // namespace
}  // namespace pelvano::core
