// The station in real time through a desktop sound server. Each timed sound's first sample is
// found in the sink's monitor and timed by the sink's clock, its latency added.
#include <cstdio>

#include "PulseStationFixture.h"

namespace pelvano::test {
namespace {

class PulseStationTest : public PulseStationFixture {};

TEST_F(PulseStationTest, TheServersDeviceIsNamedForWhatItIs) {
    const std::string name = core::GbkToUtf8(output->devices()[pulseDevice].description);
    EXPECT_NE(name.find("PulseAudio"), std::string::npos) << name;
}

TEST_F(PulseStationTest, TimedRowsStartOnTheirSecondThroughTheServer) {
    // Constant levels, so that each start is a step: a timed row over silence, a timed row
    // over a bed, and a timed row after the list ran out.
    addSound("bed.wav", 3600, 0.1, 0);
    addSound("news.wav", 5, 0.5, 0);
    addSound("last.wav", 3, 0.5, 0);
    const core::LocalDateTime t0 = inSeconds(3);
    const auto due = [&](int s) { return at(t0, s); };
    writeSchedule({{"bed.wav", hms(due(0))}, {"news.wav", hms(due(5)), "2"},
                   {"last.wav", hms(due(14))}});
    runStation(due(18));
    noteSinkLatency();
    std::printf("PulseAudio: the null sink's latency %.2f ms\n", sinkLatencyUs / 1000.0);
    struct Due {
        const char* what;
        core::LocalDateTime when;
        float level;
    };
    for (const Due& d :
         {Due{"bed over silence", due(0), 0.05f}, Due{"news over the bed", due(5), 0.3f},
          Due{"last after silence", due(14), 0.3f}}) {
        const double ms = latenessMs(d.when, d.level);
        std::printf("PulseAudio: %-20s first sample %+7.2f ms from its second\n", d.what, ms);
        EXPECT_FALSE(std::isnan(ms)) << d.what;
        EXPECT_LT(std::fabs(ms), 20.0) << d.what << " missed its second";
    }
}

}  // namespace
}  // namespace pelvano::test
