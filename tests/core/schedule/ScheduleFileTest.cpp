#include "core/schedule/ScheduleFile.h"

#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/ports/EventPump.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleTsv.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

struct CountingPump : EventPump {
    int calls = 0;
    void processPendingEvents() override { ++calls; }
};

struct RecordingProgress : ScheduleProgressView {
    std::vector<std::string> events;
    void beginProgress(int maximum, const std::string& suffix) override {
        events.push_back("begin " + std::to_string(maximum) + " " + GbkToUtf8(suffix));
    }
    void setProgress(int position) override { events.push_back("at " + std::to_string(position)); }
    void endProgress(const std::string& suffix) override { events.push_back("end " + GbkToUtf8(suffix)); }
    void setInputEnabled(bool enabled) override { events.push_back(enabled ? "enabled" : "disabled"); }
};

Grid rowsOf(std::initializer_list<std::initializer_list<const char*>> rows) {
    Grid g(10, static_cast<int>(rows.size()) + 1);
    int r = 1;
    for (const auto& row : rows) {
        int c = 0;
        for (const char* cell : row) g.setCell(c++, r, Utf8ToGbk(cell));
        ++r;
    }
    return g;
}

TEST(ScheduleLineCoding, ScrambleAndUnscramble) {
    EXPECT_EQ(ScrambleLine("a^^b^^"), "0A3535093535");
    EXPECT_EQ(ScrambleLine(""), "");
    EXPECT_EQ(UnscrambleLine("0A3535093535"), "a^^b^^");
    EXPECT_EQ(UnscrambleLine("0a3535093535"), "a^^b^^");  // either letter case
    EXPECT_EQ(UnscrambleLine("0A3"), "a");                 // trailing odd character ignored
    EXPECT_EQ(UnscrambleLine("ZZ"), "\x6B");              // an invalid pair is 0
    Grid g(10, 2);
    g.setCell(0, 1, "a");
    g.setCell(1, 1, "b");
    const std::string stored = ScrambleLine(RowToLine(g, 1));
    EXPECT_EQ(stored, ScrambleLine("a^^b^^" + std::string(16, '^')));
    Grid back(10, 2);
    LineToRow(UnscrambleLine(stored), back, 1);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(back.cell(c, 1), g.cell(c, 1));
}

TEST(ScheduleFile, SaveAndLoadRoundTripWithLayoutKeys) {
    test::TempDir dir;
    Grid g = rowsOf({{"   1", "歌", "手", "00:03:00", "", "", "", "08:00:00", "D:\\A.MP3", ""},
                     {},
                     {"   3", "x^y"}});
    g.setColWidth(1, 150);
    HolderSize holder{640, 480};
    ScheduleIoOptions options;
    options.settingsFile = dir.file("s.ini");
    options.holder = &holder;
    RecordingProgress progress;
    CountingPump pump;
    options.progress = &progress;
    options.pump = &pump;
    ASSERT_TRUE(SaveSchedule(dir.file("a.JMB"), g, options).ok);
    EXPECT_EQ(pump.calls, 3);
    EXPECT_EQ(progress.events, (std::vector<std::string>{"disabled", "begin 3 正在保存播出表.", "at 1", "at 2", "at 3",
                                                         "end 播出表保存完毕", "enabled"}));
    const std::string bytes = dir.read("a.JMB");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    Grid loaded(10, 7);
    loaded.setCell(0, 1, "stale");
    HolderSize readHolder;
    options.holder = &readHolder;
    options.progress = nullptr;
    options.keepMessage = false;
    LoadSchedule(dir.file("a.JMB"), loaded, options);
    EXPECT_EQ(pump.calls, 3);  // chkKeepMessage off: no events processed
    EXPECT_EQ(loaded.rowCount(), 4);
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < 10; ++c) EXPECT_EQ(loaded.cell(c, r), g.cell(c, r)) << c << "," << r;
    }
    EXPECT_EQ(loaded.colWidth(1), 150);
    EXPECT_EQ(readHolder.width, 640);
    EXPECT_EQ(readHolder.height, 480);
}

TEST(ScheduleFile, EmptyMissingAndOddFiles) {
    test::TempDir dir;
    ScheduleIoOptions options;
    Grid g(10, 5);
    g.setCell(1, 1, "stale");
    LoadSchedule(dir.file("missing.JMB"), g, options);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.cell(1, 1), "");  // an unreadable file leaves no stale row behind

    // A first line with twelve fields widens the grid; later lines are cut to its width.
    const std::string wide = ScrambleLine("1^^2^^3^^4^^5^^6^^7^^8^^9^^10^^11^^12^^");
    const std::string shortLine = ScrambleLine("a^^b");
    dir.write("odd.JMB", wide + "\n" + shortLine + "\r" + "ZZ1" + "\r\n");
    LoadSchedule(dir.file("odd.JMB"), g, options);
    EXPECT_EQ(g.colCount(), 12);
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.cell(11, 1), "12");
    EXPECT_EQ(g.cell(1, 2), "b");
    EXPECT_EQ(g.cell(0, 3), "\x6B");
}

TEST(ScheduleFile, LargeInputs) {
    test::TempDir dir;
    ScheduleIoOptions options;
    std::string big = ScrambleLine(std::string(5 * 1024 * 1024, 'x') + "^^y^^");
    dir.write("big.JMB", big);
    Grid g(10, 2);
    LoadSchedule(dir.file("big.JMB"), g, options);
    EXPECT_EQ(g.cell(0, 1).size(), 5u * 1024 * 1024);
    EXPECT_EQ(g.cell(1, 1), "y");

    Grid many(10, 100001);
    for (int r = 1; r <= 100000; ++r) many.setCell(1, r, std::to_string(r));
    ASSERT_TRUE(SaveSchedule(dir.file("many.JMB"), many, options).ok);
    Grid loaded(10, 2);
    LoadSchedule(dir.file("many.JMB"), loaded, options);
    EXPECT_EQ(loaded.rowCount(), 100001);
    EXPECT_EQ(loaded.cell(1, 100000), "100000");
}

TEST(ScheduleFile, AFailedSaveIsReportedAndKeepsTheOldFile) {
    test::TempDir dir;
    ScheduleIoOptions options;
    Grid g(10, 2);
    const SaveResult missingFolder = SaveSchedule(dir.file("no/such/a.JMB"), g, options);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_FALSE(missingFolder.error.empty());

    // The settings file cannot be written: reported, schedule written, window enabled again.
    dir.write("old.JMB", "old");
    options.settingsFile = dir.file("no/such/s.ini");
    RecordingProgress progress;
    options.progress = &progress;
    const SaveResult badSettings = SaveSchedule(dir.file("old.JMB"), g, options);
    EXPECT_FALSE(badSettings.ok);
    EXPECT_EQ(progress.events.back(), "enabled");
}

TEST(ScheduleTsv, DumpAndBuildReproduceTheFile) {
    const std::string plainRows[] = {
        "   1^^" + Utf8ToGbk("歌曲") + "^^a\tb^^c\\d^^\r\n^^" + std::string("\xFF\x81", 2) + "^^^^^^^^^^",
        "no separator at the end",
        "",
        "^^",
        "ends with a backslash\\",
    };
    std::string file;
    for (const auto& row : plainRows) file += ScrambleLine(row) + "\r\n";
    std::vector<std::string> warnings;
    const std::string tsv = ScheduleFileToTsv(file, &warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(tsv.substr(0, tsv.find('\n')), "序号\t歌曲\t歌手\t时长\t交叉|\t淡入|\t淡出|\t开播时间\t文件名\t估计播出时间");
    EXPECT_NE(tsv.find("   1\t歌曲\ta\\tb\tc\\\\d\t\\r\\n\t\\xFF\\x81\t\t\t\t\n"), std::string::npos);
    EXPECT_EQ(TsvToScheduleFile(tsv), file);
    ScheduleFileToTsv("0A3\r\n", &warnings);
    EXPECT_EQ(warnings.size(), 1u);
}

}  // namespace
}  // namespace pelvano::core
