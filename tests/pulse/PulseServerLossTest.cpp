// The desktop's sound server killed and started again under a playing station: the loss is
// logged once, the schedule goes on by the clock, and the sound comes back by itself through
// the same device. Prints how long the way back took.
#include "PulseStationFixture.h"

namespace pelvano::test {
namespace {

class PulseServerLossTest : public PulseStationFixture {};

TEST_F(PulseServerLossTest, AServerKilledAndStartedAgain) {
    expectTheWayBackFromARestart(
        "PulseAudio",
        [&] {
            recording.reset();
            server->stop();
        },
        [&] {
            server = std::make_unique<PulseServer>(serverDir.path().string());
            ASSERT_TRUE(server->running());
            // Not waited for: the station's thread must not stall. The sink's few milliseconds
            // of latency are left out: the way back is measured in seconds.
            recording = std::make_unique<MonitorRecorder>(recordSeconds, kRecordRate);
        });
}

}  // namespace
}  // namespace pelvano::test
