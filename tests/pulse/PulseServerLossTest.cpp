// The desktop's sound server killed and started again under a playing station: the loss is
// logged once, the schedule goes on by the clock, and the sound comes back by itself through
// the same device. Prints how long the way back took.
#include "PulseStationFixture.h"

namespace pelvano::test {
namespace {

class PulseServerLossTest : public PulseStationFixture {};

TEST_F(PulseServerLossTest, AServerKilledAndStartedAgain) {
    const core::LocalDateTime t0 = inSeconds(2);
    writeBedAndNews(t0);
    const std::int64_t killUs = clock.tickUsAt(at(t0, 2));
    const std::int64_t startUs = clock.tickUsAt(at(t0, 4));
    std::int64_t killedUs = 0;
    std::int64_t startedUs = 0;
    runStation(at(t0, 9), [&] {
        if (killedUs == 0 && clock.tickUs() >= killUs) {
            killedUs = clock.tickUs();
            recording.reset();
            server->stop();
        }
        if (startedUs == 0 && clock.tickUs() >= startUs) {
            // From the moment pulseaudio is started again: its own start-up counts.
            startedUs = clock.tickUs();
            server = std::make_unique<PulseServer>(serverDir.path().string());
            ASSERT_TRUE(server->running());
            // Not waited for: the station's thread must not stall.
            recording = std::make_unique<MonitorRecorder>(recordSeconds, kRecordRate);
        }
        noteWhenLogged(kLost, loggedLossUs);
        noteWhenLogged(kRestored, loggedRestoreUs);
    });
    ASSERT_GT(startedUs, 0);
    noteSinkLatency();
    expectTheWayBack("PulseAudio", startedUs, killedUs);
}

}  // namespace
}  // namespace pelvano::test
