// Timed rows and time signals sound their first sample on their second, whatever the phase of
// the scheduler's and the clock's ticks, and the as-run log records what went on air.
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/AsRunLog.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

// The station starts 37 ms into a second, so that no tick falls on a whole second.
constexpr int kStartMs = 37;

class OnTheSampleTest : public StationFixture {
  protected:
    OnTheSampleTest() : StationFixture({2026, 12, 7, 7, 59, 50, kStartMs}) {}
    void SetUp() override {
        setKey("chkManOper", "NO");
        setKey("spIN", "0");
        setKey("spOut", "3");
        std::filesystem::create_directories(dir.path() / "报时文件");
    }
    // Milliseconds after the simulation's start at which the clock shows hh:mm:ss.000.
    static double msOf(int h, int m, int s) {
        return ((h - 7) * 3600 + (m - 59) * 60 + (s - 50)) * 1000.0 - kStartMs;
    }
    // The first captured frame from fromMs on that is not silent, as milliseconds from the start.
    double onsetMs(double fromMs) const { return firstSoundMs(fromMs, 1e-3); }
    // Its lines once the queued writes are done, the byte-order mark taken off the first one.
    std::vector<std::string> asRunLines() const {
        if (station) {
            EXPECT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
        }
        std::ifstream in(dir.path() / "History" / "2026-12-07.asrun.csv");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.find('\r')));
        if (!lines.empty() && lines[0].starts_with(core::kUtf8Bom)) lines[0].erase(0, 3);
        return lines;
    }
};

TEST_F(OnTheSampleTest, TimedRowsAndTimeSignalsSoundOnTheirSecondToTheFrame) {
    // Constant levels: the first non-silent frame is the first frame of the file.
    // The hour's signal: a pip at the start of each of its four seconds.
    addTimeSignal("报时文件/08点整.Wav", 4);
    addSound("报时文件/08点30.Wav", 1, 0.25, 0);
    addSound("bed.wav", 3600, 0.0, 0);
    addSound("news.wav", 2, 0.5, 0);
    addSound("music.wav", 2, 0.5, 0);
    writeSchedule({{"bed.wav", "07:59:51"},
                   {"news.wav", "08:00:00"},
                   {"bed.wav", "08:00:03"},
                   {"music.wav", "08:00:10"},
                   {"bed.wav", "08:00:13"}});
    startStation();
    runUntilTime(8, 0, 20);
    struct Due {
        const char* what;
        double ms;
    };
    for (const Due& d :
         {Due{"signal pip 07:59:57", msOf(7, 59, 57)}, Due{"signal pip 07:59:58", msOf(7, 59, 58)},
          Due{"signal pip 07:59:59", msOf(7, 59, 59)}, Due{"news and pip 08:00:00", msOf(8, 0, 0)},
          Due{"music 08:00:10", msOf(8, 0, 10)}}) {
        const double lateness = onsetMs(d.ms - 500) - d.ms;
        std::printf("%s: first sample %+.3f ms from its second\n", d.what, lateness);
        EXPECT_GE(lateness, -0.5 / 44.1) << d.what;
        EXPECT_LE(lateness, 1.0 / 44.1) << d.what;
    }
    // The log tells the same story as ever, on the due second.
    EXPECT_EQ(timeOf("定时节目开始:序号2").substr(0, 8), "08:00:00");
    const auto log = messages();
    const auto timed = std::find(log.begin(), log.end(), "定时节目开始:序号2");
    ASSERT_NE(timed, log.end());
    EXPECT_EQ(*(timed + 1), "当前节目开始淡出: [3000]毫秒,<bed.wav>");
    EXPECT_EQ(*(timed + 3), "开始准备播放:<news.wav>【节目:2】");
    EXPECT_EQ(*(timed + 5), "播放成功无淡入: <news.wav>");
    EXPECT_EQ(countOf("开始准备播放:<news.wav>"), 1);
}

TEST_F(OnTheSampleTest, TheItemOnAirFadesFromTheTimedSecond) {
    addSound("bed.wav", 3600, 0.5, 0);
    addSound("news.wav", 30, 0.0, 0);
    writeSchedule({{"bed.wav", "07:59:51"}, {"news.wav", "08:00:00"}});
    startStation();
    runUntilTime(8, 0, 4);
    const double due = msOf(8, 0, 0);
    EXPECT_NEAR(peak(due - 60, 50), 0.5, 1e-6) << "full level up to the second";
    // 3 s from 0 to −39 dB: 130 ms later the level is 1.7 dB down, not still at full level.
    EXPECT_NEAR(20 * std::log10(peak(due + 120, 10)), 20 * std::log10(0.5) - 1.69, 0.6);
}

TEST_F(OnTheSampleTest, ACancelledTimedStartLeavesTheItemOnAirAsItWas) {
    // The news is prepared 1.5 s ahead, the bed's fade armed for its second; then the start is
    // called off before the second: by the timed play switched off, or by the row's time
    // cleared in the schedule. Either way the bed plays on at full level and nothing starts.
    addSound("bed.wav", 3600, 0.5, 0);
    addSound("news.wav", 30, 0.25, 0);
    writeSchedule({{"bed.wav", "07:59:51"}, {"news.wav", "08:00:00"}});
    startStation();
    runUntilTime(7, 59, 59);
    ASSERT_EQ(station->items().preparedRow(), 2);
    station->settings().setFlag(core::SettingFlag::chkTimedPlay, false);
    runUntilTime(8, 0, 2);
    EXPECT_FALSE(station->items().preparedRow());
    const double due = msOf(8, 0, 0);
    EXPECT_NEAR(peak(due + 500, 1000), 0.5, 1e-6) << "the bed faded for a start called off";
    EXPECT_EQ(countOf("开始准备播放:<news.wav>"), 0);
    // The channel armed for the news is stopped again.
    core::TcbDSMixerChannel& armed = *station->state().PlayoutChannels[core::kItemChannelB];
    EXPECT_EQ(armed.State(), ChannelState::Stopped);

    station->settings().setFlag(core::SettingFlag::chkTimedPlay, true);
    core::Grid& grid = station->table().sgJM;
    grid.setCell(core::kColStartTime, 2, "08:00:05");
    core::RecomputeEstimates(station->table(), 2);
    runUntilTime(8, 0, 4);
    ASSERT_EQ(station->items().preparedRow(), 2);
    grid.setCell(core::kColStartTime, 2, "");
    core::RecomputeEstimates(station->table(), 2);
    runUntilTime(8, 0, 7);
    EXPECT_FALSE(station->items().preparedRow());
    EXPECT_NEAR(peak(msOf(8, 0, 5), 2000), 0.5, 1e-6) << "the bed faded for a row no longer timed";
    EXPECT_LT(firstSoundMs(msOf(8, 0, 4), 0.6), 0) << "the news was heard over the bed";
}

TEST_F(OnTheSampleTest, AShortTimedItemArmedWhereAnItemEndedKeepsItsLevel) {
    // The bed ends on channel A; the music plays on B; the short news is armed on A, then the
    // music ends before the news's second: the news must not be faded out as the bed's
    // leftover.
    setKey("chkSectCycle", "NO");
    setKey("chkAllCycle", "NO");
    addSound("bed.wav", 2, 0.1, 0);
    addSound("music.wav", 3.5, 0.1, 0);
    addSound("news.wav", 2, 0.5, 0);
    // The news fades out over its last second only.
    writeSchedule({{"bed.wav", "07:59:51"},
                   {"music.wav", "07:59:56"},
                   {"news.wav", "08:00:00", "", "", "1"}});
    startStation();
    runUntilTime(8, 0, 3);
    const double due = msOf(8, 0, 0);
    EXPECT_NEAR(peak(due + 200, 700), 0.5, 1e-3) << "the news at full level";
    EXPECT_EQ(countOf("旧节目开始淡出"), 0);
    EXPECT_EQ(countOf("播放淡出停止:<news.wav>"), 0);
}

TEST_F(OnTheSampleTest, AFadeStillSoundingOnTheFreeChannelEndsAtTheLastTickBeforeTheSecond) {
    // The free channel still sounds while the row would be prepared (the fade of the item
    // before the one on air): the last tick before the second ends that tail and prepares the
    // row, which sounds on its second.
    addSound("a.wav", 3600, 0.0, 0);
    addSound("b.wav", 3600, 0.0, 0);
    addSound("news.wav", 5, 0.5, 0);
    setKey("spOut", "9");
    writeSchedule({{"a.wav", "07:59:51"}, {"b.wav", "07:59:58"}, {"news.wav", "08:00:00"}});
    startStation();
    runUntilTime(8, 0, 7);
    const double lateness = onsetMs(msOf(8, 0, 0) - 500) - msOf(8, 0, 0);
    EXPECT_GE(lateness, -0.5 / 44.1);
    EXPECT_LE(lateness, 1.0 / 44.1);
    EXPECT_EQ(countOf("开始准备播放:<news.wav>"), 1);
    // The tail ends within the last tick before the second.
    const std::string tailEnd = timeOf("播放淡出停止:<a.wav>");
    EXPECT_EQ(tailEnd.substr(0, 9), "07:59:59.") << tailEnd;
    EXPECT_GE(tailEnd.substr(9), "900") << tailEnd;
    const auto lines = asRunLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], core::AsRunLog::header());
    const auto a = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("1,t,,a.wav,07:59:51,", 0) == 0;
    });
    ASSERT_NE(a, lines.end());
    EXPECT_NE(a->find(",2026-12-07 07:59:59.9"), std::string::npos) << *a;
    EXPECT_NE(a->find(",淡出,"), std::string::npos) << *a;
    const std::string& news = lines.back();
    EXPECT_EQ(news.rfind("3,t,,news.wav,08:00:00,2026-12-07 08:00:00.000,", 0), 0u) << news;
    EXPECT_EQ(news.substr(news.size() - 4), ",0.0") << news;
}

TEST_F(OnTheSampleTest, TheAsRunLogRecordsEveryItemWithItsMeasuredStart) {
    setKey("chkSectCycle", "NO");  // after the news the player waits for the next timed row
    addSound("bed.wav", 3600, 0.1, 0);
    addSound("news.wav", 2, 0.5, 0);
    writeSchedule({{"bed.wav", "07:59:51"}, {"news.wav", "08:00:00"}, {"bed.wav", "08:00:05"}});
    startStation();
    runUntilTime(8, 0, 8);
    const auto lines = asRunLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "序号,标题,艺术家,文件,定时,开播时间,结束时间,播出秒数,结束方式,迟到毫秒");
    // The news: on its second to the millisecond, two seconds heard, ended by itself.
    EXPECT_EQ(
        lines[1].rfind("2,t,,news.wav,08:00:00,2026-12-07 08:00:00.000,2026-12-07 08:00:02.", 0),
        0u)
        << lines[1];
    EXPECT_NE(lines[1].find(",2.0,自然结束,0.0"), std::string::npos) << lines[1];
    // The bed: on its second, faded out under the news over 3 s.
    EXPECT_EQ(
        lines[2].rfind("1,t,,bed.wav,07:59:51,2026-12-07 07:59:51.000,2026-12-07 08:00:03.", 0), 0u)
        << lines[2];
    EXPECT_NE(lines[2].find(",12.0,淡出,0.0"), std::string::npos) << lines[2];
    EXPECT_EQ(core::CsvField("a,\"b\""), "\"a,\"\"b\"\"\"");
    EXPECT_EQ(core::CsvField("plain"), "plain");
    // The item still on air when the station closes ends as stopped.
    station.reset();
    const auto closed = asRunLines();
    ASSERT_EQ(closed.size(), 4u);
    EXPECT_EQ(
        closed[3].rfind("3,t,,bed.wav,08:00:05,2026-12-07 08:00:05.000,2026-12-07 08:00:08.", 0),
        0u)
        << closed[3];
    EXPECT_NE(closed[3].find(",3.0,停止,0.0"), std::string::npos) << closed[3];
}

}  // namespace
}  // namespace pelvano::test
