// Schedules with files that cannot play: the station stays on air, says why, and never loops.
#include <sys/stat.h>

#include <filesystem>

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"

namespace pelvano::test {
namespace {

// The simulation starts at 07:59:50: 10 s before eight o'clock.
constexpr double kEight = 10'000;

class BadFilesOnAirTest : public StationFixture {
  protected:
    void SetUp() override {
        setKey("chkManOper", "NO");  // nothing plays before the first timed row
        setKey("spOver", "0");
        setKey("spIN", "0");
        setKey("spOut", "0");
    }

    // A file on disk that the decoder cannot open.
    void addUndecodable(const std::string& name) { dir.write(name, "not audio"); }
    void addSixChannels(const std::string& name) {
        dir.write(name, "");
        ToneSpec tone;
        tone.channels = 6;
        tones.add(paths.applicationDir + name, tone);
    }

    // The longest run of silence, in ms, in [fromMs, toMs) of what was heard.
    double longestSilenceMs(double fromMs, double toMs) const {
        double longest = 0, runStart = -1;
        const auto last = std::min(heard.frameCount(), static_cast<std::size_t>(toMs * 44.1));
        for (auto i = static_cast<std::size_t>(fromMs * 44.1); i < last; ++i) {
            const bool silent = std::fabs(heard.sample(i, 0)) < 1e-4;
            if (silent && runStart < 0) runStart = static_cast<double>(i);
            if (!silent && runStart >= 0) {
                longest = std::max(longest, (static_cast<double>(i) - runStart) / 44.1);
                runStart = -1;
            }
        }
        return longest;
    }

    ino_t settingsInode() const {
        struct stat st {};
        ::stat(paths.settingsFile().c_str(), &st);
        return st.st_ino;
    }
};

TEST_F(BadFilesOnAirTest, EachBadRowIsLoggedWithItsReasonAndSkippedWithinASecond) {
    addSound("a.wav", 4, 0.5, 440);
    addSound("b.wav", 4, 0.5, 550);
    addUndecodable("junk.mp3");
    addSound("c.wav", 4, 0.5, 660);
    addSixChannels("surround.wav");
    addSound("d.wav", 4, 0.5, 770);
    dir.write("empty.wav", "");  // exists, but is no audio the decoder knows
    addSound("e.wav", 30, 0.5, 880);
    addSound("timed.wav", 10, 0.5, 990);
    writeSchedule({{"a.wav", "08:00:00"},
                   {"missing.wav"},
                   {"b.wav"},
                   {"junk.mp3"},
                   {"c.wav"},
                   {"surround.wav"},
                   {"d.wav"},
                   {"empty.wav"},
                   {"e.wav"},
                   {"timed.wav", "08:00:20"}});
    startStation();
    runUntilTime(8, 0, 22);

    EXPECT_EQ(countOf("播放失败[序号2],<missing.wav>: 文件不存在"), 1);
    EXPECT_EQ(countOf("播放失败[序号4],<junk.mp3>: "), 1);
    EXPECT_EQ(countOf("播放失败[序号6],<surround.wav>: Invalid number of channels."), 1);
    EXPECT_EQ(countOf("播放失败[序号8],<empty.wav>: "), 1);
    for (const char* good : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"})
        EXPECT_EQ(countOf(std::string("播放成功无淡入: <") + good + ">"), 1) << good;
    // The errors reach the UI loop with the engine's own texts.
    ASSERT_EQ(sim.events().errorCount(), 3u);
    EXPECT_EQ(sim.events().errors()[1], "Invalid number of channels.");
    // On air from eight o'clock on, a bad row costing less than a second of silence; the timed
    // row still starts on its second.
    EXPECT_LT(longestSilenceMs(kEight + 50, kEight + 20'000), 1000);
    EXPECT_EQ(timeOf("定时节目开始:序号10").substr(0, 8), "08:00:20");
}

TEST_F(BadFilesOnAirTest, AFailedTimedStartWithNothingOnAirGoesOnWithTheNextRow) {
    addSound("b.wav", 30);
    writeSchedule({{"gone.wav", "08:00:00"}, {"b.wav"}});
    startStation();
    runUntilTime(8, 0, 1);
    EXPECT_EQ(countOf("播放失败[序号1],<gone.wav>: 文件不存在"), 1);
    EXPECT_EQ(timeOf("开始准备播放:<b.wav>【节目:2】").substr(0, 8), "08:00:00");
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(station->state().CurrentChannel->State(), core::ChannelState::Playing);
}

TEST_F(BadFilesOnAirTest, WhenEveryRowFailsTheStationTriesEachOnceAndWaits) {
    setKey("chkSectCycle", "YES");
    addSound("a.wav", 3);
    addSound("c.wav", 30);
    addUndecodable("junk.mp3");
    writeSchedule({{"a.wav", "08:00:00"}, {"junk.mp3"}, {"c.wav", "08:01:00"}});
    startStation();
    runUntilTime(8, 0, 1);
    // The file of the item on air goes away: after it, no row of the table can play.
    std::filesystem::remove(dir.path() / "a.wav");
    runUntilTime(8, 0, 10);
    // The pass's writes land on the queue's thread: the wait is judged from when they are done.
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    const ino_t settingsAfterThePass = settingsInode();
    const std::size_t linesAfterThePass = messages().size();
    runUntilTime(8, 0, 59);
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    EXPECT_EQ(countOf("播放失败[序号2]"), 1);
    EXPECT_EQ(countOf("播放失败[序号1]"), 1);
    EXPECT_EQ(countOf("本轮节目都无法播放"), 1);
    EXPECT_EQ(countOf("本段节目播放完毕"), 1);
    EXPECT_EQ(countOf("检测到静音10秒"), 1);  // the wait is dead air, said once
    EXPECT_EQ(messages().size(), linesAfterThePass + 1);  // otherwise quiet while it waits
    EXPECT_EQ(settingsInode(), settingsAfterThePass);  // and writes nothing
    EXPECT_EQ(sim.events().errorCount(), 1u);

    // The next timed row begins a new pass.
    runUntilTime(8, 1, 1);
    EXPECT_EQ(countOf("播放成功无淡入: <c.wav>"), 1);
}

TEST_F(BadFilesOnAirTest, AnOperatorStartOrANewScheduleBeginsANewPass) {
    setKey("chkAllCycle", "YES");
    writeSchedule({{"gone.wav", "08:00:00"}, {"gone2.wav"}});
    startStation();
    runUntilTime(8, 0, 2);
    EXPECT_EQ(countOf("本轮节目都无法播放"), 1);
    station->settings().setFlag(core::SettingFlag::chkManOper, true);
    addSound("gone2.wav", 30);
    station->table().sgJM.setCurrentRow(1);
    station->items().btnPlayClick();  // row 1 still fails; the pass goes on to row 2
    sim.advanceBy(500);
    EXPECT_EQ(countOf("播放成功无淡入: <gone2.wav>"), 1);

    station->OpenSchedule(paths.applicationDir + "节目表.JMB");
    EXPECT_FALSE(station->state().Unplayable.contains(1));
}

TEST_F(BadFilesOnAirTest, ABadFirstFileDoesNotKeepTheStationOffTheAir) {
    setKey("chkManOper", "YES");
    addUndecodable("junk.mp3");
    addSound("b.wav", 30);
    writeSchedule({{"junk.mp3"}, {"b.wav"}});
    startStation();
    sim.advanceBy(300);
    EXPECT_EQ(countOf("播放失败[序号1],<junk.mp3>: "), 1);  // logged once the log exists
    EXPECT_EQ(sim.events().errorCount(), 1u);               // and shown by the UI loop
    EXPECT_EQ(countOf("播放成功无淡入: <b.wav>"), 1);
}

TEST_F(BadFilesOnAirTest, LogLinesNameTheFileAsStoredEvenInAChineseFolder) {
    setKey("spIN", "1");
    std::filesystem::create_directories(dir.path() / "音乐库");
    addSound("音乐库/新闻.wav", 30);
    writeSchedule({{"音乐库/新闻.WAV", "08:00:00"}});
    startStation();
    runUntilTime(8, 0, 3);
    EXPECT_EQ(countOf("开始准备播放:<新闻.WAV>"), 1);
    EXPECT_EQ(countOf("淡入结束：新闻.WAV"), 1);
}

}  // namespace
}  // namespace pelvano::test
