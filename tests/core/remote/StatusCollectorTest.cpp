// The remote status of a station in virtual time, and its commands run as button clicks.
#include "core/remote/StatusCollector.h"

#include "core/playout/StationFixture.h"
#include "core/remote/RemoteCommands.h"

namespace pelvano::test {
namespace {

class StatusCollectorTest : public StationFixture {
  protected:
    void SetUp() override {
        addSound("a.wav", 20);
        addSound("b.wav", 30);
        addSound("c.wav", 10);
        // The timed row at 08:00:00; each row hands over 2 s before its end. The schedule gives
        // every row 10 s, whatever its file holds.
        writeSchedule({{"a.wav", "08:00:00", "2", "0", "0", "开始曲", "乐队"},
                       {"b.wav", "", "2", "0", "0", "新闻"},
                       {"missing.wav", "", "2", "0", "0", ""},
                       {"c.wav", "", "2", "0", "0", "天气"}});
        startStation();
        collector = std::make_unique<core::StatusCollector>(*station, sim.timers(), board, nullptr);
    }
    const core::StationStatus& status() {
        collector->collect();
        return *board.status();
    }

    core::StatusBoard board;
    std::unique_ptr<core::StatusCollector> collector;
};

TEST_F(StatusCollectorTest, ShowsTheItemOnAirAndEstimatesTheNextRowsFromNow) {
    runUntilTime(8, 0, 5);
    const core::StationStatus& s = status();
    EXPECT_EQ(s.state, "playing");
    EXPECT_EQ(s.time, "2026-12-07 08:00:05");
    ASSERT_TRUE(s.item);
    EXPECT_EQ(s.item->row, 1);
    EXPECT_EQ(s.item->title, "开始曲");
    EXPECT_EQ(s.item->artist, "乐队");
    EXPECT_NEAR(s.item->elapsedS, 5.0, 0.2);
    EXPECT_NEAR(s.item->lengthS, 20.0, 0.1);
    EXPECT_GT(s.levelLeft, -20.0) << "a tone on air shows no level";
    ASSERT_EQ(s.rows->size(), 4u);
    EXPECT_TRUE((*s.rows)[0].onAir);
    EXPECT_EQ((*s.rows)[0].timed, "08:00:00");
    EXPECT_EQ((*s.rows)[2].name, "missing.wav") << "a row without a title is named by its file";
    // Four rows: the next ten wrap around to the timed row, at its time.
    ASSERT_EQ(s.next.size(), 4u);
    EXPECT_EQ(s.next[0].row, 2);
    EXPECT_EQ(s.next[0].estimatedStart, "08:00:18");
    EXPECT_EQ(s.next[1].estimatedStart, "08:00:26");  // the schedule's length, 10 s
    EXPECT_EQ(s.next[2].estimatedStart, "08:00:34");
    EXPECT_EQ(s.next[3].row, 1);
    EXPECT_EQ(s.next[3].estimatedStart, "08:00:00");
    EXPECT_EQ(s.figures.timedLateness.count(), 1u) << "the timed start was not measured";
    EXPECT_LE(s.figures.timedLateness.sum(), 0.05);
}

TEST_F(StatusCollectorTest, WithoutTheTableLoopTheNextRowsEndWithTheLastRow) {
    runUntilTime(8, 0, 5);
    station->settings().setFlag(core::SettingFlag::chkAllCycle, false);
    const core::StationStatus& s = status();
    ASSERT_EQ(s.next.size(), 3u);
    EXPECT_EQ(s.next.back().row, 4);
}

TEST_F(StatusCollectorTest, CountsTheRowsThatFailedAndCarriesEveryLogLine) {
    runUntilTime(8, 0, 50);
    const core::StationStatus& s = status();
    EXPECT_EQ(s.figures.failedRows, 1u);
    const auto lines = board.logSince(0);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().text.find(":"), std::string::npos);
    bool failure = false;
    for (const auto& line : lines) failure |= line.text.find("播放失败[序号3]") != std::string::npos;
    EXPECT_TRUE(failure) << "the failed start is not in the remote log";
}

TEST_F(StatusCollectorTest, CommandsRunOnTheStationThreadAsTheButtonsDo) {
    runUntilTime(8, 0, 5);
    core::RemoteCommands commands(*station, sim.events());
    commands.post(core::RemoteCommand::Pause, 0, "admin@127.0.0.1");
    EXPECT_FALSE(station->state().Paused) << "the command ran on the caller's thread";
    sim.advanceBy(1500);
    EXPECT_TRUE(station->state().Paused);
    EXPECT_EQ(status().state, "paused");
    EXPECT_EQ(countOf("远程控制:暂停 (admin@127.0.0.1)"), 1);

    commands.post(core::RemoteCommand::StartRow, 4, "admin@127.0.0.1");
    sim.advanceBy(500);
    EXPECT_EQ(station->table().PlayingRow, 4);
    EXPECT_EQ(status().item->title, "天气");
    commands.post(core::RemoteCommand::Next, 0, "admin@127.0.0.1");
    sim.advanceBy(500);
    EXPECT_EQ(station->table().PlayingRow, 1) << "the row after the last is the first";

    commands.post(core::RemoteCommand::StartRow, 99, "x");
    sim.advanceBy(200);
    EXPECT_EQ(countOf("播放序号99"), 0) << "a row that does not exist was logged as started";
}

TEST_F(StatusCollectorTest, ACommandStillQueuedWhenTheRemoteGoesDoesNothing) {
    auto commands = std::make_unique<core::RemoteCommands>(*station, sim.events());
    commands->post(core::RemoteCommand::Stop, 0, "admin");
    commands.reset();
    sim.advanceBy(1000);
    EXPECT_EQ(countOf("远程控制"), 0);
    EXPECT_FALSE(station->state().StopRequested);
}

}  // namespace
}  // namespace pelvano::test
