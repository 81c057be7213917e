#include "core/playout/ClockChimes.h"

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

class ChimesTest : public StationFixture {
protected:
    ChimesTest() : StationFixture({2026, 12, 7, 7, 59, 50}) {}
    void SetUp() override {
        setKey("chkManOper", "NO");
        std::filesystem::create_directories(dir.path() / "报时文件");
    }
    core::TcbDSMixerChannel& chime() { return *station->state().PlayoutChannels[core::kChimeChannel]; }
};

TEST_F(ChimesTest, TheFullHourSignalSoundsOverTheItemOnAir) {
    addSound("报时文件/08点整.Wav", 2, 0.25, 1000);
    addSound("item.wav", 600, 0.25, 300);
    setKey("tbVol", "-1000");
    writeSchedule({{"item.wav", "07:59:51", "", "0"}});
    startStation();
    runUntilTime(7, 59, 56, 900);
    EXPECT_FALSE(chime().FirstHeardUs()) << "armed for its second, not heard before it";
    runUntilTime(7, 59, 57, 500);
    EXPECT_EQ(chime().State(), ChannelState::Playing);
    EXPECT_EQ(chime().Volume(), 0);
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(station->state().CurrentChannel->Volume(), -1000);  // the item goes on unchanged
    EXPECT_EQ(station->state().CurrentChannel->State(), ChannelState::Playing);
    EXPECT_GT(peak(7'100, 400), peak(5'500, 400) * 1.5);  // both sound together
}

TEST_F(ChimesTest, EachDueSecondChimesOnceEvenWhenTheTickComesTwice) {
    addSound("报时文件/08点整.Wav", 5);
    writeSchedule({{""}});
    startStation();
    runUntilTime(7, 59, 57, 100);
    ASSERT_EQ(chime().State(), ChannelState::Playing);
    sim.advanceBy(500);
    const int position = chime().Position();
    station->clockChimes().Timer1Timer();  // a second tick within 07:59:57
    EXPECT_GE(chime().Position(), position);  // not restarted
}

TEST_F(ChimesTest, ATickTwoSecondsLateStillChimes) {
    addSound("报时文件/08点整.Wav", 5);
    writeSchedule({{""}});
    startStation();
    runUntilTime(7, 59, 55, 500);
    sim.clock().advanceBy(3000);  // the program was busy until 07:59:58.5
    station->clockChimes().Timer1Timer();
    EXPECT_EQ(chime().State(), ChannelState::Playing);
    EXPECT_NE(chime().FileName().find("08点整.Wav"), std::string::npos);
}

TEST_F(ChimesTest, AClockSetBackDoesNotSoundTheSignalAgain) {
    addSound("报时文件/08点整.Wav", 1);
    writeSchedule({{""}});
    startStation();
    runUntilTime(7, 59, 59, 500);  // the signal of 07:59:57 has ended
    ASSERT_EQ(chime().State(), ChannelState::Stopped);
    sim.clock().setWallClockBy(-1500);  // reads 07:59:58 again
    sim.advanceBy(900);
    EXPECT_EQ(chime().State(), ChannelState::Stopped);
}

TEST_F(ChimesTest, SwitchedOffSignalsAndMissingFilesStaySilent) {
    writeSchedule({{""}});
    startStation();
    runUntilTime(8, 0, 0);  // 08点整.Wav is missing: no chime, no error
    EXPECT_EQ(chime().State(), ChannelState::Stopped);
    EXPECT_TRUE(sim.events().errors().empty());
}

TEST_F(ChimesTest, ChimeFilesFollowTheClock) {
    writeSchedule({{""}});
    startStation();
    auto& c = station->clockChimes();
    EXPECT_EQ(c.chimeFileAt(7 * 3600 + 59 * 60 + 57), paths.applicationDir + "报时文件/08点整.Wav");
    EXPECT_EQ(c.chimeFileAt(23 * 3600 + 59 * 60 + 57), paths.applicationDir + "报时文件/00点整.Wav");
    EXPECT_EQ(c.chimeFileAt(8 * 3600 + 29 * 60 + 57), paths.applicationDir + "报时文件/08点30.Wav");
    EXPECT_EQ(c.chimeFileAt(8 * 3600 + 29 * 60 + 58), "");
    EXPECT_EQ(core::GbkToUtf8(core::WeekdayName(1)), "星期日");
    EXPECT_EQ(core::GbkToUtf8(core::WeekdayName(7)), "星期六");
}

struct LabelView : core::PlayerView {
    std::map<core::PlayerLabel, std::string> labels;
    void setLabel(core::PlayerLabel l, const std::string& text) override { labels[l] = text; }
};

class AutoLoadTest : public StationFixture {
protected:
    AutoLoadTest() : StationFixture({2026, 12, 7, 23, 59, 50}) {}  // a Monday night
};

TEST_F(AutoLoadTest, TheNextDaysScheduleLoadsAtTheLoadTime) {
    setKey("chkManOper", "NO");
    setKey("LoadTime", "00:00:05");
    writeSchedule({{"monday.wav"}});
    writeSchedule({{"tuesday.wav"}, {"tuesday2.wav"}}, "2026-12-08.JMB");
    startStation();
    sim.advanceBy(1500);
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "节目表.JMB");
    runUntilTime(23, 59, 59, 900);
    sim.advanceBy(4000);  // Tuesday 00:00:03.9: not yet
    EXPECT_EQ(station->table().sgJM.rowCount(), 2);
    sim.advanceBy(1500);
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "2026-12-08.JMB");
    EXPECT_EQ(station->table().sgJM.rowCount(), 3);
    EXPECT_EQ(station->log().dayFile(), paths.applicationDir + "History/2026-12-08.his");
}

TEST_F(AutoLoadTest, TheStartDayIsNeverLoadedAgain) {
    setKey("chkManOper", "NO");
    setKey("LoadTime", "23:59:55");  // later the same day
    writeSchedule({{"monday.wav"}});
    startStation();
    dir.write("2026-12-07.JMB", "");
    sim.advanceBy(8000);
    EXPECT_EQ(station->table().CurrentSchedulePath, paths.applicationDir + "节目表.JMB");
}

TEST_F(AutoLoadTest, DateTimeAndWeekdayLabels) {
    LabelView view;
    writeSchedule({{""}});
    startStation(core::StartupOutcome::Running, &view);
    sim.advanceBy(1000);
    EXPECT_EQ(view.labels[core::PlayerLabel::plDate], "26.12.07");
    EXPECT_EQ(view.labels[core::PlayerLabel::plTime], "23:59:51");
    EXPECT_EQ(core::GbkToUtf8(view.labels[core::PlayerLabel::lbWeek]), "星期一");
}

}  // namespace
}  // namespace pelvano::test
