#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/ScheduleCommands.h"

namespace pelvano::test {
namespace {

class ScheduleCommandsTest : public StationFixture {
  protected:
    void SetUp() override {
        setKey("spOut", "0");
        setKey("chkManOper", "NO");
    }

    // The titles of the schedule file on disk.
    std::vector<std::string> titlesOnDisk(const std::string& name = "节目表.JMB") {
        core::Grid grid(core::kScheduleColumns, 2);
        core::LoadSchedule(paths.applicationDir + name, grid, {});
        std::vector<std::string> out;
        for (int r = 1; r < grid.rowCount(); ++r)
            out.push_back(core::GbkToUtf8(grid.cell(core::kColTitle, r)));
        return out;
    }

    std::vector<Row> rowsTitled(int n) {
        std::vector<Row> rows;
        for (int i = 1; i <= n; ++i) rows.push_back({"", "", "", "", "", "r" + std::to_string(i)});
        return rows;
    }
};

TEST_F(ScheduleCommandsTest, DroppedFilesAreInsertedInOrderAndSaved) {
    addSound("甲.wav", 61.5);
    addSound("b.wav", 3);
    addSound("c.mp3", 3725);
    dir.write("notes.txt", "not audio");  // collected, but not measurable: left out
    writeSchedule(rowsTitled(8));
    startStation();
    core::ScheduleCommands commands(*station);
    station->table().PlayingRow = 7;
    const std::string d = paths.applicationDir;
    EXPECT_FALSE(commands.DropFiles(0, {d + "b.wav"}, nullptr));  // the header: nothing
    EXPECT_EQ(station->table().sgJM.rowCount(), 9);

    core::SaveResult saved;
    ASSERT_TRUE(commands.DropFiles(5, {d + "甲.wav", d + "notes.txt", d + "b.wav", d + "c.mp3"},
                                   nullptr, &saved));
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(station->table().PlayingRow, 10);
    const std::vector<std::string> expected = {"r1", "r2", "r3", "r4", "甲", "b",
                                               "c",  "r5", "r6", "r7", "r8"};
    EXPECT_EQ(titlesOnDisk(), expected);
    const core::Grid& grid = station->table().sgJM;
    EXPECT_EQ(grid.cell(core::kColLength, 5), "00:01:01");
    EXPECT_EQ(grid.cell(core::kColLength, 7), "01:02:05");
    EXPECT_EQ(core::GbkToUtf8(grid.cell(core::kColFile, 5)),
              d + "甲.wav");  // as the file system spells it
    EXPECT_EQ(grid.cell(core::kColNumber, 11), "  11");
    // The player's save command also wrote the resume keys.
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastJMPos"), "10");
}

TEST_F(ScheduleCommandsTest, SaveAsReopensFromTheNewFileAndAFailedWriteLosesNothing) {
    writeSchedule(rowsTitled(3));
    startStation();
    core::ScheduleCommands commands(*station);
    EXPECT_EQ(commands.SaveAsProposal(), paths.applicationDir + "2026-12-08.JMB");
    station->table().sgJM.setCell(core::kColTitle, 2, core::Gbk("改过"));
    station->table().sgJM.setCell(core::kColStartTime, 1, "08:00:00");
    ASSERT_TRUE(commands.SaveAs(paths.applicationDir + "星期一.txt", nullptr).ok);
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "星期一.JMB");
    EXPECT_EQ(core::GbkToUtf8(station->table().caption), "【播出节目表:星期一.JMB】");
    EXPECT_EQ(titlesOnDisk("星期一.JMB"), (std::vector<std::string>{"r1", "改过", "r3"}));
    EXPECT_EQ(station->table().TimedStartList.size(), 1u);
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastJMFile"),
              "");  // save as writes no resume keys

    // A folder that does not exist: the table and its path stay, the failure is reported.
    const core::SaveResult failed = commands.SaveAs(dir.file("missing") + "/new.JMB", nullptr);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.empty());
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "星期一.JMB");
    EXPECT_EQ(core::GbkToUtf8(station->table().sgJM.cell(core::kColTitle, 2)), "改过");
}

TEST_F(ScheduleCommandsTest, OpenReloadAndCombine) {
    writeSchedule(rowsTitled(2));
    writeSchedule(rowsTitled(3), "其它.JMB");
    dir.write("empty.JMB", "");
    startStation();
    core::ScheduleCommands commands(*station);
    EXPECT_EQ(commands.ScheduleFileNames(),
              (std::vector<std::string>{"empty.JMB", "其它.JMB", "节目表.JMB"}));
    commands.Open(paths.applicationDir + "其它.abc");
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "其它.JMB");
    EXPECT_EQ(station->table().sgJM.rowCount(), 4);
    commands.Reload("");
    EXPECT_EQ(station->table().sgJM.rowCount(), 4);
    commands.Reload("节目表.JMB");
    EXPECT_EQ(station->table().sgJM.rowCount(), 3);
    commands.Combine(paths.applicationDir + "其它.JMB");
    commands.Combine(paths.applicationDir + "empty.JMB");
    EXPECT_EQ(station->table().sgJM.rowCount(), 6);
    EXPECT_EQ(station->table().sgJM.cell(core::kColNumber, 5), "   5");
    EXPECT_EQ(station->table().sgJM.cell(core::kColTitle, 5), "r3");
    EXPECT_EQ(titlesOnDisk(), (std::vector<std::string>{"r1", "r2"}));  // combining saves nothing
}

TEST_F(ScheduleCommandsTest, DoubleClickFadesTheItemOnAirAndStartsTheRow) {
    addSound("a.wav", 60);
    addSound("b.wav", 60);
    writeSchedule({{"a.wav"}, {"b.wav"}});
    setKey("chkManOper", "YES");
    setKey("spOut", "4");
    startStation();
    core::ScheduleCommands commands(*station);
    sim.advanceBy(1000);
    core::TcbDSMixerChannel* first = station->state().CurrentChannel;
    ASSERT_NE(first, nullptr);
    station->table().sgJM.setCurrentRow(2);
    commands.DoubleClick();
    EXPECT_EQ(countOf("当前节目开始淡出: [4000]毫秒,<a.wav>"), 1);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>【节目:2】"), 1);
    EXPECT_NE(station->state().CurrentChannel, first);
    sim.advanceBy(5000);
    EXPECT_EQ(first->State(), core::ChannelState::Stopped);
}

}  // namespace
}  // namespace pelvano::test
