// The station in real time on the paced WAV output: each timed sound's and each time-signal
// pip's first sample is found in the written file and timed by the output's own account of
// when each frame is heard.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "RecordedWav.h"
#include "core/app/Encoding.h"
#include "platform/virtual/PacedOutput.h"
#include "support/RealtimeStationFixture.h"

namespace pelvano::test {
namespace {

class PacedStationTest : public RealtimeStationFixture {
  protected:
    void SetUp() override {
        setKey("chkManOper", "NO");
        setKey("chkSectCycle", "NO");
        setKey("chkAllCycle", "NO");
        setKey("chkClockHalf", "YES");
        setKey("spIN", "0");
        setKey("spOut", "2");
        std::filesystem::create_directories(dir.path() / "报时文件");
        // Some hundred milliseconds into a second, so that no tick falls on a whole second,
        // and before this hour's half-hour signal.
        const core::LocalDateTime now = clock.now();
        clock.showNow(core::LocalDateTime::fromDayNumber(now.dayNumber(),
                                                         now.hour * 3600 + 29 * 60 + 50, 370));
        auto sink = std::make_unique<StampedWav>((dir.path() / "heard.wav").string());
        wav = sink.get();
        output = std::make_unique<platform::PacedOutput>(core::Utf8ToGbk("WAV"), std::move(sink));
    }

    // Milliseconds from `due` to the first sample above the level, searching from 300 ms
    // before it; NaN when none.
    double latenessMs(const WavSamples& heard, const core::LocalDateTime& due, float level) const {
        const std::int64_t dueUs = clock.tickUsAt(due);
        const auto usOf = [&](std::size_t i) {
            return wav->firstHeardUs() + static_cast<std::int64_t>(i) * 1000000 / heard.rate;
        };
        for (std::size_t i = 0; i < heard.left.size(); ++i) {
            if (usOf(i) >= dueUs - 300000 && std::fabs(heard.left[i]) > level)
                return static_cast<double>(usOf(i) - dueUs) / 1000.0;
        }
        return NAN;
    }

    StampedWav* wav = nullptr;
};

TEST_F(PacedStationTest, TimedRowsAndTimeSignalPipsSoundOnTheirSecond) {
    const core::LocalDateTime now = clock.now();
    const auto due = [&](int minute, int second) {
        return core::LocalDateTime::fromDayNumber(now.dayNumber(),
                                                  now.hour * 3600 + minute * 60 + second);
    };
    // Constant levels, so that each start is a step; nothing overlaps. The last row is armed on
    // the channel the news ended on, and the music ends before its second.
    addSound("news.wav", 2, 0.5, 0);
    addSound("music.wav", 2, 0.5, 0);
    addSound("last.wav", 2, 0.5, 0);
    addTimeSignal("报时文件/" + core::NowHms(now).substr(0, 2) + "点30.Wav", 4);
    writeSchedule({{"news.wav", hms(due(29, 53))},
                   {"music.wav", hms(due(30, 2))},
                   {"last.wav", hms(due(30, 5))}});
    runStation(due(30, 8));
    station.reset();
    wav->finish();
    ASSERT_GT(wav->firstHeardUs(), 0);
    const WavSamples heard = ReadWav((dir.path() / "heard.wav").string());
    ASSERT_EQ(heard.rate, 44100u);

    struct Due {
        const char* what;
        core::LocalDateTime when;
    };
    std::vector<double> lateness;
    for (const Due& d :
         {Due{"timed row  xx:29:53", due(29, 53)}, Due{"signal pip xx:29:57", due(29, 57)},
          Due{"signal pip xx:29:58", due(29, 58)}, Due{"signal pip xx:29:59", due(29, 59)},
          Due{"signal pip xx:30:00", due(30, 0)}, Due{"timed row  xx:30:02", due(30, 2)},
          Due{"timed row  xx:30:05", due(30, 5)}}) {
        const double ms = latenessMs(heard, d.when, 0.1f);
        std::printf("paced wav: %s first sample %+8.3f ms from its second\n", d.what, ms);
        EXPECT_FALSE(std::isnan(ms)) << d.what;
        lateness.push_back(std::isnan(ms) ? 1e9 : ms);
    }
    std::vector<double> sorted = lateness;
    std::sort(sorted.begin(), sorted.end(),
              [](double a, double b) { return std::fabs(a) < std::fabs(b); });
    const double median = sorted[sorted.size() / 2];
    const double worst = sorted.back();
    std::printf("paced wav: %zu starts, median %+.3f ms, worst %+.3f ms\n", sorted.size(), median,
                worst);
    EXPECT_LE(std::fabs(median), 1.0);
    EXPECT_LE(std::fabs(worst), 5.0);
}

}  // namespace
}  // namespace pelvano::test
