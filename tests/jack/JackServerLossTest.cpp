// A sound server that goes away, or stalls, under a playing station: the loss is logged once,
// the schedule goes on by the clock, and the sound comes back by itself when the server does.
// Each prints how long the way back took.
#include <cstdio>

#include "JackStationFixture.h"

namespace pelvano::test {
namespace {

class JackServerLossTest : public JackStationFixture {};

TEST_F(JackServerLossTest, AServerStoppedAndStartedAgain) {
    expectTheWayBackFromARestart(
        "JACK",
        [&] {
            // The recorder leaves first: the station's client is the one to lose its server
            // (libjack is not safe with two clients of a dead server closed at once).
            recording.reset();
            server->stop();
        },
        [&] {
            server = std::make_unique<JackServer>(48000, 256);
            ASSERT_TRUE(server->running());
            recording = std::make_unique<JackRecorder>(10);
            connected = false;
        });
}

TEST_F(JackServerLossTest, AServerThatStallsAndRunsAgain) {
    const core::LocalDateTime t0 = inSeconds(2);
    writeBedAndNews(t0);
    const std::int64_t pauseUs = clock.tickUsAt(at(t0, 1));
    const std::int64_t resumeUs = pauseUs + 2500000;
    std::int64_t pausedUs = 0;
    std::int64_t resumedUs = 0;
    runStation(at(t0, 7), [&] {
        if (pausedUs == 0 && clock.tickUs() >= pauseUs) {
            pausedUs = clock.tickUs();
            server->pause();
        }
        if (resumedUs == 0 && clock.tickUs() >= resumeUs) {
            resumedUs = clock.tickUs();
            server->resume();
        }
        noteWhenLogged(kLost, loggedLossUs);
        noteWhenLogged(kRestored, loggedRestoreUs);
    });
    ASSERT_GT(resumedUs, 0);
    // A stall counts as a loss after two seconds without callbacks.
    EXPECT_GE(loggedLossUs - pausedUs, 1900000);
    expectTheWayBack("JACK", resumedUs, pausedUs);
}

}  // namespace
}  // namespace pelvano::test
