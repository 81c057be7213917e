// The station in real time on a real sound server. Each timed sound's first sample is found
// in the recording and timed by JACK's own clock.
#include <cstdio>

#include "JackStationFixture.h"

namespace pelvano::test {
namespace {

class JackStationTest : public JackStationFixture {};

TEST_F(JackStationTest, TimedRowsStartOnTheirSecondThroughTheServer) {
    ASSERT_TRUE(recording->ok());
    // Constant levels, so that each start is a step: a timed row over silence, a timed row
    // over a bed, a cross-fade into the next row, and a timed row after the list ran out.
    addSound("bed.wav", 3600, 0.1, 0);
    addSound("news.wav", 6, 0.5, 0);
    addSound("music.wav", 6, 0.25, 0);
    addSound("last.wav", 3, 0.5, 0);
    const core::LocalDateTime t0 = inSeconds(4);
    const auto due = [&](int s) { return at(t0, s); };
    writeSchedule({{"bed.wav", hms(due(0))},
                   {"news.wav", hms(due(8)), "2"},
                   {"music.wav"},
                   {"last.wav", hms(due(22))}});
    runStation(due(26));
    ASSERT_TRUE(connected);
    struct Due {
        const char* what;
        core::LocalDateTime when;
        float level;
    };
    std::vector<double> lateness;
    for (const Due& d :
         {Due{"bed over silence", due(0), 0.05f}, Due{"news over the bed", due(8), 0.3f},
          Due{"last after silence", due(22), 0.3f}}) {
        const double ms = latenessMs(d.when, d.level);
        std::printf("JACK: %-20s first sample %+7.2f ms from its second\n", d.what, ms);
        lateness.push_back(ms);
    }
    std::printf("JACK: xruns seen by the recorder: %d\n", recording->xruns());
    for (double ms : lateness) {
        EXPECT_FALSE(std::isnan(ms));
        EXPECT_LT(std::fabs(ms), 50.0) << "a start missed its second";
    }
    EXPECT_EQ(countOf("下一节目交叉时间到"), 1);
    EXPECT_EQ(countOf("开始准备播放:<music.wav>"), 1);
}

}  // namespace
}  // namespace pelvano::test
