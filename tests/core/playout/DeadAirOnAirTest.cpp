// A station that falls silent: dead air is found after the silence window and the next row or
// the fallback folder fills it, heard within the window and a second.
#include <filesystem>

#include "StationFixture.h"
#include "core/app/AtomicFile.h"
#include "core/playout/ItemRelease.h"

namespace pelvano::test {
namespace {

constexpr double kWindowMs = 10'000;

class DeadAirOnAirTest : public StationFixture {
  protected:
    void SetUp() override {
        setKey("spOver", "0");
        setKey("spIN", "0");
        setKey("spOut", "0");
    }

    void setLinuxKey(const std::string& key, const std::string& value) {
        core::IniWrite(paths.settingsFile(), "Linux", key, value);
    }
    // The fallback folder with two files of a minute, at frequencies of their own.
    void addFallbackFolder() {
        std::filesystem::create_directories(dir.file("备用节目"));
        addSound("备用节目/f1.wav", 60, 0.5, 330);
        addSound("备用节目/f2.wav", 60, 0.5, 350);
        setLinuxKey("FallbackFolder", core::Utf8ToGbk("备用节目"));
    }
    void addSilentAfter(const std::string& name, double seconds, double soundSeconds) {
        dir.write(name, "");
        ToneSpec tone;
        tone.frames = static_cast<std::int64_t>(seconds * 44100);
        tone.soundFrames = static_cast<std::int64_t>(soundSeconds * 44100);
        tones.add(paths.applicationDir + name, tone);
    }
    // Sound again from silentFromMs on: after the silence window, within a second more.
    void expectBackAfterTheWindow(double silentFromMs) {
        const double back = firstSoundMs(silentFromMs + 100);
        EXPECT_GT(back, silentFromMs + kWindowMs);
        EXPECT_LT(back, silentFromMs + kWindowMs + 1'000);
    }
    std::string asRun() {
        EXPECT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
        std::string bytes;
        core::ReadFileBytes(
            paths.historyDir() + core::FormatDate(sim.clock().now(), true) + ".asrun.csv", bytes);
        return bytes;
    }
};

TEST_F(DeadAirOnAirTest, AnItemSilentAfter20SecondsGivesWayToTheNextRow) {
    addSilentAfter("quiet.wav", 120, 20);
    addSound("next.wav", 120, 0.5, 550);
    writeSchedule({{"quiet.wav"}, {"next.wav"}});
    startStation();
    sim.advanceBy(60'000);

    EXPECT_EQ(countOf("检测到静音10秒"), 1);
    EXPECT_EQ(countOf("开始准备播放:<next.wav>"), 1);
    expectBackAfterTheWindow(20'000);
    EXPECT_EQ(station->deadAir().count(), 1);
    EXPECT_NEAR(station->deadAir().totalSeconds(), 10.2, 0.3);
}

TEST_F(DeadAirOnAirTest, DeadAirWithNothingPlayableAfterItIsFilledByTheFallback) {
    addFallbackFolder();
    addSilentAfter("quiet.wav", 120, 20);
    addSilentAfter("also-quiet.wav", 120, 20);
    writeSchedule({{"quiet.wav"}, {"gone.wav"}, {"also-quiet.wav"}});
    setKey("chkAllCycle", "NO");
    startStation();
    sim.advanceBy(45'000);
    // The next row failed too: the fallback, and the silent item fades out under it.
    EXPECT_EQ(countOf("检测到静音10秒"), 1);
    EXPECT_EQ(countOf("播放失败[序号2]"), 1);
    EXPECT_EQ(countOf("播放备用节目："), 1);
    EXPECT_GE(countOf("当前节目开始淡出: [0]毫秒,<quiet.wav>"), 1);
    expectBackAfterTheWindow(20'000);

    // The last row of the table, no loop: nothing after it, the fallback straight away.
    station->table().sgJM.setCurrentRow(3);
    station->items().btnPlayClick();
    const double started = sim.clock().tickMs();
    sim.advanceBy(35'000);
    EXPECT_EQ(countOf("检测到静音10秒"), 2);
    EXPECT_EQ(countOf("播放备用节目："), 2);
    EXPECT_EQ(countOf("当前节目开始淡出: [0]毫秒,<also-quiet.wav>"), 1);
    expectBackAfterTheWindow(started + 20'000);
}

TEST_F(DeadAirOnAirTest, NoDeadAirWhileTheOperatorStoppedOrHoldsThePlayout) {
    addSilentAfter("quiet.wav", 300, 5);
    addSound("next.wav", 120);
    writeSchedule({{"quiet.wav"}, {"next.wav"}});
    startStation();
    sim.advanceBy(2'000);
    core::SetPlayoutHold(station->state(), station->view(), core::kHoldByTagWindow, true);
    sim.advanceBy(30'000);
    EXPECT_EQ(countOf("检测到静音"), 0);
    core::SetPlayoutHold(station->state(), station->view(), core::kHoldByTagWindow, false);
    station->items().btnStopClick();
    sim.advanceBy(30'000);
    EXPECT_EQ(countOf("检测到静音"), 0);
    EXPECT_EQ(countOf("开始准备播放:<next.wav>"), 0);
    EXPECT_EQ(station->deadAir().count(), 0);
}

TEST_F(DeadAirOnAirTest, ARowTimedWithinTheWindowIsWaitedFor) {
    addSilentAfter("quiet.wav", 120, 1);  // silent from 07:59:51
    addSound("next.wav", 120, 0.5, 550);
    addSound("timed.wav", 60, 0.5, 660);
    writeSchedule({{"quiet.wav"}, {"next.wav"}, {"timed.wav", "08:00:05"}});
    setKey("chkTimedPlay", "YES");
    startStation();
    sim.advanceBy(30'000);
    EXPECT_EQ(countOf("检测到静音"), 0);
    EXPECT_EQ(countOf("开始准备播放:<next.wav>"), 0);
    EXPECT_EQ(countOf("定时节目开始:序号3"), 1);
}

TEST_F(DeadAirOnAirTest, AScheduleWhoseRowsAllFailPlaysTheFallbackUntilTheTimedRow) {
    addFallbackFolder();
    addSound("timed.wav", 60, 0.5, 660);
    writeSchedule({{"gone1.wav"}, {"gone2.wav"}, {"timed.wav", "08:01:30"}});
    setKey("chkTimedPlay", "YES");
    setKey("spOver", "3");
    startStation();
    runUntilTime(8, 1, 29);

    EXPECT_EQ(countOf("本轮节目都无法播放"), 1);
    const double heard = firstSoundMs(0);
    EXPECT_GE(heard, 0);
    EXPECT_LT(heard, kWindowMs + 1'000);
    // Both files, one after the other with the cross-fade, each logged once.
    EXPECT_EQ(countOf("播放备用节目：f1.wav"), 1);
    EXPECT_EQ(countOf("播放备用节目：f2.wav"), 1);
    EXPECT_EQ(countOf("检测到静音"), 0);
    runUntilTime(8, 1, 40);
    EXPECT_EQ(countOf("定时节目开始:序号3"), 1);
    EXPECT_EQ(countOf("播放备用节目"), 2);  // the timed row ended the fallback
    const std::string lines = asRun();
    EXPECT_NE(lines.find("\r\n备用,f1,,"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\r\n备用,f2,,"), std::string::npos) << lines;
}

TEST_F(DeadAirOnAirTest, TheFallbackFillsTheEndOfATableWithoutLoop) {
    addFallbackFolder();
    addSound("last.wav", 20);
    writeSchedule({{"last.wav"}});
    setKey("chkAllCycle", "NO");
    startStation();
    sim.advanceBy(40'000);
    EXPECT_EQ(countOf("播放备用节目："), 1);
    EXPECT_LT(firstSoundMs(20'100), 20'000 + kWindowMs + 1'000);
    EXPECT_EQ(countOf("检测到静音"), 0);
}

TEST_F(DeadAirOnAirTest, AfterADeviceChangeTheFallbackIsHeardAtOnce) {
    addFallbackFolder();
    addSound("a.wav", 120);
    writeSchedule({{"a.wav"}});
    startStation();
    sim.advanceBy(5'000);
    station->changeOutputDevice(1);  // 1.1 s of waiting, then the channels are rebuilt
    sim.advanceBy(20'000);
    EXPECT_EQ(countOf("播放备用节目："), 1);
    // The item on air sounds on through the change's wait, then the fallback at once.
    const double back = firstSoundMs(5'000 + 1'100 + 100);
    EXPECT_GT(back, 0);
    EXPECT_LT(back, 5'000 + 1'100 + 500);
    EXPECT_EQ(countOf("检测到静音"), 0);
    EXPECT_EQ(station->deadAir().count(), 0);
}

TEST_F(DeadAirOnAirTest, AfterADeviceChangeWithoutFallbackTheNextRowStartsAfterTheWindow) {
    addSound("a.wav", 120);
    addSound("b.wav", 120, 0.5, 550);
    writeSchedule({{"a.wav"}, {"b.wav"}});
    startStation();
    sim.advanceBy(5'000);
    station->changeOutputDevice(1);
    sim.advanceBy(30'000);
    EXPECT_EQ(countOf("检测到静音10秒"), 1);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 1);
    expectBackAfterTheWindow(5'000 + 1'100);
}

}  // namespace
}  // namespace pelvano::test
