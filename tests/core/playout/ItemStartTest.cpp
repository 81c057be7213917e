#include "core/playout/ItemStart.h"

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

class ItemStartTest : public StationFixture {};

TEST_F(ItemStartTest, TimesOfARowComeFromItsCellsOrTheSettings) {
    setKey("spOver", "10");
    setKey("spIN", "5");
    setKey("spOut", "7");
    writeSchedule({{"", "", "", "70", "-3"}, {"", "", "x", "", ""}});
    startStation();
    EXPECT_EQ(station->items().ItemTimesOf(1), (core::ItemTimes{10, 59, 0}));
    EXPECT_EQ(station->items().ItemTimesOf(2), (core::ItemTimes{10, 5, 7}));
}

TEST_F(ItemStartTest, AStartLogsItsStepsInOrder) {
    addSound("A.MP3", 30);
    setKey("chkManOper", "NO");
    writeSchedule({{"A.MP3"}, {"A.MP3"}, {"A.MP3", "", "10", "5", "5"}});
    startStation();
    station->table().sgJM.setCurrentRow(3);
    station->items().StartSelectedRow();
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string(51, '-'), "开始准备播放:<A.MP3>【节目:3】",
                                                    "计算新播放节目的时间参数tOver,tIn,tOut: 【10-5-5】",
                                                    "播放成功并淡入: [5000]毫秒,<A.MP3>"}));
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastJMPos"), "3");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastDate"), "2026-12-07");
}

TEST_F(ItemStartTest, FadeInZeroStartsAtTheSliderVolume) {
    addSound("a.wav", 30);
    setKey("tbVol", "-1000");
    writeSchedule({{"a.wav", "", "", "0"}});
    startStation();  // chkManOper is on by default: start-up presses Play
    station->items().btnPlayClick();
    EXPECT_EQ(messages().back(), "播放成功无淡入: <a.wav>");
    EXPECT_EQ(station->state().CurrentChannel->Volume(), -1000);
}

TEST_F(ItemStartTest, StartUpPlaysTheResumedRowOnlyWithManualPlayoutAllowed) {
    addSound("a.wav", 30);
    writeSchedule({{"a.wav"}, {"a.wav"}, {"a.wav"}});
    setKey("LastDate", "2026-12-07");
    setKey("LastJMFile", core::Utf8ToGbk(paths.applicationDir + "节目表.JMB"));
    setKey("LastJMPos", "2");
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 2);
    EXPECT_TRUE(messages().empty());  // the log window did not exist yet
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(station->state().CurrentChannel->State(), ChannelState::Playing);
}

TEST_F(ItemStartTest, ResumeNeedsTodayTheSameFileAndARowThatExists) {
    addSound("a.wav", 30);
    writeSchedule({{"a.wav"}, {"a.wav"}, {"a.wav"}});
    setKey("chkManOper", "NO");
    setKey("LastDate", "2026-12-07");
    setKey("LastJMFile", core::Utf8ToGbk(paths.applicationDir + "节目表.JMB"));
    for (const char* pos : {"4", "0", "-5", "x"}) {
        setKey("LastJMPos", pos);
        startStation();
        EXPECT_EQ(station->table().sgJM.currentRow(), 1) << pos;
        EXPECT_EQ(station->state().CurrentChannel, nullptr);  // nothing plays without manual playout
    }
    setKey("LastJMPos", "3");
    setKey("LastJMFile", core::Utf8ToGbk(paths.applicationDir + "节目表.jmb"));  // another letter case
    startStation();
    EXPECT_EQ(station->table().sgJM.currentRow(), 1);
    setKey("LastJMFile", core::Utf8ToGbk(paths.applicationDir + "节目表.JMB"));
    startStation();
    EXPECT_EQ(station->table().sgJM.currentRow(), 3);
}

TEST_F(ItemStartTest, AMissingFileFailsAndAnUnplayableOneReachesTheLoopWithTheSchedulerRunning) {
    writeSchedule({{"missing.wav", "", "", "", "", "歌"}, {"empty.wav"}});
    setKey("chkManOper", "NO");
    startStation();
    station->table().sgJM.setCurrentRow(1);
    station->items().StartSelectedRow();
    EXPECT_EQ(station->state().CurrentChannel, nullptr);
    dir.write("empty.wav", "");  // on disk, but the engine cannot open it
    station->table().sgJM.setCurrentRow(2);
    EXPECT_ANY_THROW(station->items().StartSelectedRow());
    EXPECT_EQ(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(countOf("开始准备播放:<empty.wav>"), 1);
    sim.advanceBy(300);  // the scheduler still ticks: nothing is on air, nothing happens
    EXPECT_EQ(station->table().PlayingRow, 2);
}

TEST_F(ItemStartTest, PauseResumeStopAndSeek) {
    addSound("a.wav", 60);
    setKey("spIN", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}});
    startStation();
    core::TcbDSMixerChannel& ch = *station->state().CurrentChannel;
    sim.advanceBy(2000);
    station->items().btnPauseClick();
    sim.advanceBy(1200);
    EXPECT_EQ(ch.State(), ChannelState::Paused);
    EXPECT_EQ(countOf("播放淡出暂停:<a.wav>"), 1);
    EXPECT_EQ(countOf("淡入结束：a.wav"), 1);  // the dip to -3600 is logged as a fade-in end
    const double pausedAt = static_cast<double>(heard.frameCount()) / 44.1;
    EXPECT_LT(peak(pausedAt - 150, 150), 1e-6);
    station->items().btnPauseClick();
    sim.advanceBy(1500);
    EXPECT_EQ(ch.State(), ChannelState::Playing);
    EXPECT_EQ(ch.Volume(), 0);

    // Pausing twice within the dip: the item is not paused and returns to the slider volume.
    station->items().btnPauseClick();
    sim.advanceBy(400);
    station->items().btnPauseClick();
    sim.advanceBy(1500);
    EXPECT_EQ(ch.State(), ChannelState::Playing);
    EXPECT_EQ(ch.Volume(), 0);

    // A seek to x = 0 restarts the item with a 600 ms rise.
    station->items().PBMouseUp(0, 200);
    EXPECT_LT(ch.Position(), 200);
    sim.advanceBy(700);
    EXPECT_EQ(ch.Volume(), 0);
    EXPECT_EQ(ch.State(), ChannelState::Playing);

    station->items().btnStopClick();
    sim.advanceBy(1200);
    EXPECT_EQ(ch.State(), ChannelState::Stopped);
    EXPECT_TRUE(station->state().StopRequested);
    EXPECT_EQ(countOf("播放淡出停止:<a.wav>"), 1);
    sim.advanceBy(1000);
    EXPECT_EQ(station->table().PlayingRow, 1);  // after the stop command nothing further starts
}

TEST_F(ItemStartTest, CommandsForbiddenBySettingsDoNothing) {
    addSound("a.wav", 60);
    writeSchedule({{"a.wav"}});
    startStation();
    station->settings().setFlag(core::SettingFlag::chkManOper, false);
    station->settings().setFlag(core::SettingFlag::chkChangePB, false);
    const auto before = messages().size();
    station->items().btnPauseClick();
    station->items().btnStopClick();
    station->items().PBMouseUp(100, 200);
    sim.advanceBy(1500);
    EXPECT_EQ(station->state().CurrentChannel->State(), ChannelState::Playing);
    EXPECT_TRUE(station->state().StopRequested);  // stop still records the request
    EXPECT_FALSE(station->state().Paused);
    EXPECT_GE(messages().size(), before);
}

}  // namespace
}  // namespace pelvano::test
