#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/Scheduler.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

// The simulation starts at 07:59:50: 10 s before eight o'clock.
constexpr double kEight = 10'000;

class SchedulerTest : public StationFixture {
protected:
    void SetUp() override {
        setKey("chkManOper", "NO");  // nothing plays before the first timed row
        setKey("spOver", "10");
        setKey("spIN", "5");
        setKey("spOut", "5");
    }
};

TEST_F(SchedulerTest, ATimedRowStartsOnItsSecondAndHandsOverWithACrossFade) {
    addSound("one.wav", 30, 0.5, 440);
    addSound("two.wav", 30, 0.5, 660);
    writeSchedule({{"one.wav", "08:00:00"}, {"two.wav"}});
    startStation();
    runUntilTime(7, 59, 59, 900);
    EXPECT_TRUE(messages().empty());
    EXPECT_LT(peak(0, kEight - 100), 1e-6);  // silence before eight

    runUntilTime(8, 0, 1);
    EXPECT_EQ(timeOf("定时节目开始:序号1").substr(0, 8), "08:00:00");
    const double onset = firstSoundMs(kEight - 1000);
    EXPECT_GE(onset, kEight);
    EXPECT_LT(onset, kEight + 100);

    // With 10 s left (at 08:00:20) the next row starts on the other channel.
    runUntilTime(8, 0, 21);
    const auto& log = messages();
    const auto due = std::find_if(log.begin(), log.end(), [](const std::string& m) { return m.rfind("下一节目交叉时间到: [", 0) == 0; });
    ASSERT_NE(due, log.end());
    EXPECT_EQ(*(due - 1), std::string(51, '-'));
    const int r = std::stoi(due->substr(std::string("下一节目交叉时间到: [").size()));
    EXPECT_LE(r, 10000);
    EXPECT_GT(r, 9800);
    EXPECT_EQ(timeOf("下一节目交叉时间到").substr(0, 8), "08:00:20");
    EXPECT_EQ(countOf("开始准备播放:<two.wav>【节目:2】"), 1);

    // With 5 s left the old item fades out over exactly the time it has left.
    runUntilTime(8, 0, 31);
    EXPECT_EQ(timeOf("旧节目开始淡出: [").substr(0, 8), "08:00:25");
    // The fade and the file end together: whichever the channel reports first ends the item.
    EXPECT_EQ(countOf("播放淡出停止:<one.wav>") + countOf("自然结束播放: one.wav"), 1);
    EXPECT_EQ(station->state().PreviousChannel->State(), ChannelState::Stopped);
    EXPECT_FALSE(station->state().FadeOutStarted);
    EXPECT_EQ(station->state().CurrentChannel->State(), ChannelState::Playing);
}

TEST_F(SchedulerTest, TheEndFadeOutEndsInSilenceAtTheFilesEnd) {
    addSound("one.wav", 20, 0.5);
    writeSchedule({{"one.wav", "08:00:00", "", "0", "5"}});
    setKey("chkAllCycle", "NO");
    startStation();
    runUntilTime(8, 0, 25);
    EXPECT_EQ(timeOf("当前节目开始淡出: [").substr(0, 8), "08:00:15");
    // Full level before the fade, about -39 dB at its end, nothing after the file.
    EXPECT_GT(peak(kEight + 10'000, 1000), 0.45);
    EXPECT_LT(peak(kEight + 19'900, 90), 0.5 * std::pow(10.0, -30.0 / 20));
    EXPECT_LT(peak(kEight + 20'050, 3000), 1e-6);
    EXPECT_EQ(countOf("开始准备播放"), 1);  // no loop: the player stays silent
}

TEST_F(SchedulerTest, AnEmptyFadeOutCellFadesOverTheDefaultFadeOutNotTheFadeIn) {
    setKey("spIN", "2");
    setKey("spOut", "12");
    setKey("chkAllCycle", "NO");
    addSound("one.wav", 30, 0.5);
    writeSchedule({{"one.wav", "08:00:00", "", "", ""}});
    startStation();
    runUntilTime(8, 0, 35);
    // 12 s before the end of the 30 s file: the fade-out length of the settings.
    EXPECT_EQ(timeOf("当前节目开始淡出: [").substr(0, 8), "08:00:18");
    // Full level before the fade; half-way through it the sound is far down already, and it
    // keeps falling to the end.
    EXPECT_GT(peak(kEight + 16'000, 1000), 0.45);
    const double halfWay = peak(kEight + 23'800, 400);
    EXPECT_LT(halfWay, 0.5 * std::pow(10.0, -12.0 / 20));
    EXPECT_LT(peak(kEight + 28'000, 400), halfWay);
}

TEST_F(SchedulerTest, AFinishedSectionLoopsToRowOne) {
    addSound("one.wav", 20);
    addSound("two.wav", 20);
    addSound("nine.wav", 20);
    writeSchedule({{"one.wav", "08:00:00"}, {"two.wav"}, {"nine.wav", "08:01:00"}});
    startStation();
    runUntilTime(8, 0, 25);
    EXPECT_EQ(countOf("本段节目播放完毕，从头开始循环播出"), 1);
    EXPECT_EQ(countOf("开始准备播放:<one.wav>【节目:1】"), 2);
}

TEST_F(SchedulerTest, WithoutSectionLoopThePlayerWaitsForTheTimedRow) {
    addSound("one.wav", 20);
    addSound("two.wav", 20);
    addSound("nine.wav", 20);
    writeSchedule({{"one.wav", "08:00:00"}, {"two.wav"}, {"nine.wav", "08:01:00"}});
    setKey("chkSectCycle", "NO");
    startStation();
    runUntilTime(8, 1, 2);
    EXPECT_EQ(countOf("本段节目播放完毕"), 0);
    EXPECT_EQ(countOf("开始准备播放:<one.wav>"), 1);
    EXPECT_LT(peak(kEight + 40'100, 19'000), 1e-6);  // silence between the sections
    EXPECT_EQ(timeOf("定时节目开始:序号3").substr(0, 8), "08:01:00");
}

TEST_F(SchedulerTest, TheTableLoopsToRowOne) {
    addSound("one.wav", 15);
    addSound("two.wav", 15);
    writeSchedule({{"one.wav", "08:00:00"}, {"two.wav"}});
    startStation();
    runUntilTime(8, 0, 12);
    EXPECT_EQ(countOf("全部节目播放完毕，从头开始循环播出"), 1);
    EXPECT_EQ(countOf("开始准备播放:<one.wav>【节目:1】"), 2);
}

TEST_F(SchedulerTest, ATimedRowFadesOutTheItemOnAir) {
    addSound("long.wav", 600);
    addSound("news.wav", 30);
    writeSchedule({{"long.wav", "07:59:51"}, {"news.wav", "08:00:00"}});
    startStation();
    runUntilTime(8, 0, 7);
    const auto log = messages();
    const auto timed = std::find(log.begin(), log.end(), "定时节目开始:序号2");
    ASSERT_NE(timed, log.end());
    EXPECT_EQ(*(timed - 1), std::string(51, '='));
    EXPECT_EQ(*(timed + 1), "当前节目开始淡出: [5000]毫秒,<long.wav>");
    EXPECT_EQ(countOf("播放淡出停止:<long.wav>"), 1);
}

TEST_F(SchedulerTest, EachTimedSecondStartsOnceAndTheFirstOfTwinsWins) {
    addSound("a.wav", 60);
    addSound("b.wav", 60);
    writeSchedule({{"a.wav", "08:00:00"}, {"b.wav", "08:00:00"}});
    startStation();
    runUntilTime(8, 0, 3);
    EXPECT_EQ(countOf("定时节目开始"), 1);
    EXPECT_EQ(countOf("定时节目开始:序号1"), 1);
}

TEST_F(SchedulerTest, ASecondMissedWhileBusyIsCaughtUpAndLoggedAsLate) {
    addSound("a.wav", 60);
    writeSchedule({{"a.wav", "08:00:00"}});
    startStation();
    runUntilTime(7, 59, 58);
    station->items().StartSelectedRow();  // a start switches the scheduler timer off and on
    // Three seconds of a busy program: no tick runs.
    sim.clock().advanceBy(3000);
    sim.advanceBy(200);
    EXPECT_EQ(countOf("定时节目开始:序号1"), 1);
    EXPECT_EQ(countOf("定时节目迟到: [1]秒"), 1);
}

TEST_F(SchedulerTest, SecondsLivedAgainAfterTheClockIsSetBackAreNoCatchUp) {
    addSound("a.wav", 60);
    writeSchedule({{"a.wav", "08:00:00"}, {"a.wav", "08:00:02"}});
    startStation();
    runUntilTime(8, 0, 4);
    ASSERT_EQ(countOf("定时节目开始:序号2"), 1);
    sim.clock().setWallClockBy(-3000);  // 08:00:04 again reads 08:00:01
    sim.advanceBy(500);
    EXPECT_EQ(countOf("定时节目开始:序号1"), 1);
    EXPECT_EQ(countOf("定时节目迟到"), 0);
}

TEST_F(SchedulerTest, StartUpNeverFiresTheDaysEarlierTimedRows) {
    addSound("a.wav", 60);
    writeSchedule({{"a.wav", "07:59:48"}, {"a.wav", "07:59:49"}});
    startStation();
    sim.advanceBy(3000);
    EXPECT_EQ(countOf("定时节目开始"), 0);
}

TEST_F(SchedulerTest, MissingFilesAreSkippedOneRowPerTick) {
    addSound("a.wav", 12);
    addSound("d.wav", 30);
    writeSchedule({{"a.wav", "08:00:00"}, {"gone1.wav"}, {"gone2.wav"}, {"d.wav"}});
    startStation();
    runUntilTime(8, 0, 3);
    EXPECT_EQ(countOf("开始准备播放:<d.wav>【节目:4】"), 1);
    EXPECT_EQ(station->table().PlayingRow, 4);
}

TEST_F(SchedulerTest, StopBeforeTheCrossFadePointHoldsTheNextRow) {
    addSound("a.wav", 40);
    addSound("b.wav", 40);
    writeSchedule({{"a.wav", "08:00:00"}, {"b.wav"}});
    startStation();
    station->settings().setFlag(core::SettingFlag::chkManOper, true);
    runUntilTime(8, 0, 5);
    station->items().btnStopClick();
    runUntilTime(8, 0, 45);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 0);
}

}  // namespace
}  // namespace pelvano::test
