// The start after an unclean end, on a station in virtual time: where the clock says, with the
// fade-in and the log line; the stored row from its start after a clean close or when the walk
// cannot tell; the keys that let the next start decide.
#include "StationFixture.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/CrashResume.h"

namespace pelvano::test {
namespace {

class CrashResumeTest : public StationFixture {
  protected:
    // The station was killed while row 2 played, begun at 07:59:30; it starts at 07:59:50.
    void killedDuringRow2(const std::string& cleanClose = "NO") {
        addSound("a.wav", 15);
        addSound("b.wav", 30);
        addSound("c.wav", 30);
        writeSchedule({{"a.wav", "", "0", "0", "0"},
                       {"b.wav", "", "0", "0", "0"},
                       {"c.wav", "", "0", "0", "0"}});
        setKey("LastDate", "2026-12-07");
        setKey("LastJMFile", core::Utf8ToGbk(paths.applicationDir + "节目表.JMB"));
        setKey("LastJMPos", "2");
        setKey("LastJMStart", "07:59:30.000");
        setKey("CleanClose", cleanClose);
        setKey("chkRcdHis", "YES");
    }
    core::TcbDSMixerChannel& onAir() { return *station->state().CurrentChannel; }
    std::string startKey(const std::string& key) {
        EXPECT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
        return core::IniRead(paths.settingsFile(), "START", key);
    }
};

TEST_F(CrashResumeTest, TheItemTheClockSaysStartsWhereTheClockSaysWithAFadeIn) {
    killedDuringRow2();
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 2);
    EXPECT_NEAR(onAir().Position(), 20000, 50);
    // The line is kept until the log exists: in the window and the day's file.
    EXPECT_EQ(countOf("异常退出后恢复播出：<b.wav> 从 00:20 开始"), 1);
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    EXPECT_NE(core::GbkToUtf8(dir.read("History/2026-12-07.his"))
                  .find("07:59:50: 异常退出后恢复播出：<b.wav> 从 00:20 开始"),
              std::string::npos);
    // The item keeps the instant it began, for a second crash; the run is unclean until closed.
    EXPECT_EQ(startKey("LastJMStart"), "07:59:30.000");
    EXPECT_EQ(startKey("CleanClose"), "NO");
    sim.advanceBy(2000);
    const double start = firstSoundMs(0);
    EXPECT_LT(peak(start, 100), 0.1 * peak(start + 1500, 100));  // from -34 dB
    // It plays on to the end the clock gave it: row 3 comes at 08:00:00.
    runUntilTime(8, 0, 0, 300);
    EXPECT_EQ(station->table().PlayingRow, 3);
    station->writeCloseKeys();
    EXPECT_EQ(startKey("CleanClose"), "YES");
}

TEST_F(CrashResumeTest, AfterACleanCloseTheStoredRowStartsFromItsBeginning) {
    killedDuringRow2("YES");
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 2);
    EXPECT_LT(onAir().Position(), 100);
    EXPECT_EQ(countOf("异常退出后恢复播出"), 0);
    EXPECT_EQ(startKey("CleanClose"), "NO");
    // The item began at the start-up, once its file was open.
    const auto began = core::ParseTimeOfDayMs(startKey("LastJMStart"));
    ASSERT_TRUE(began);
    EXPECT_NEAR(static_cast<double>(*began), (7 * 3600 + 59 * 60 + 50) * 1000.0, 100);
}

TEST_F(CrashResumeTest, AWalkThatCannotTellFallsBackToTheStoredRow) {
    killedDuringRow2();
    setKey("LastJMStart", "07:59:00.000");  // row 3 is on air by now: its file is gone
    std::filesystem::remove(dir.path() / "c.wav");
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 2);
    EXPECT_LT(onAir().Position(), 100);
    EXPECT_EQ(countOf("异常退出后恢复播出"), 0);
}

TEST_F(CrashResumeTest, AnotherDayOrADamagedInstantFallsBackToTheStoredRowOrTheTop) {
    killedDuringRow2();
    setKey("LastJMStart", "07:59:3");
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 2);
    EXPECT_LT(onAir().Position(), 100);
    station.reset();
    killedDuringRow2();
    setKey("LastDate", "2026-12-06");
    startStation();
    EXPECT_EQ(station->table().PlayingRow, 1);
    EXPECT_EQ(countOf("异常退出后恢复播出"), 0);
}

}  // namespace
}  // namespace pelvano::test
