// A sound server that goes away, or stalls, under a playing station: the loss is logged once,
// the schedule goes on by the clock, and the sound comes back by itself when the server does.
// Each prints how long the way back took.
#include <cstdio>

#include "JackStationFixture.h"

namespace pelvano::test {
namespace {

class JackServerLossTest : public JackStationFixture {
  protected:
    static constexpr const char* kLost = "播出设备失效，按时钟继续播出";
    static constexpr const char* kRestored = "播出设备已恢复";

    // A bed from the first second, and news (louder) due while the server is away.
    void writeBedAndNews(const core::LocalDateTime& t0) {
        addSound("bed.wav", 3600, 0.1, 0);
        addSound("news.wav", 6, 0.5, 0);
        writeSchedule({{"bed.wav", hms(t0)}, {"news.wav", hms(at(t0, 3))}});
    }

    // Ticks of the first log line with that text, noted on the station's thread.
    void noteWhenLogged(const char* text, std::int64_t& whenUs) {
        if (whenUs == 0 && countOf(text) > 0) whenUs = clock.tickUs();
    }

    void expectTheWayBack(std::int64_t serverBackUs, std::int64_t lossUs) {
        EXPECT_EQ(countOf(kLost), 1);
        EXPECT_EQ(countOf(kRestored), 1);
        // The news started by the clock while the server was away, and is what is heard after.
        EXPECT_EQ(countOf("定时节目开始:序号2"), 1);
        const std::int64_t heardUs = firstHeardUs(serverBackUs, 0.3f);
        ASSERT_GT(heardUs, 0) << "no sound after the server came back";
        std::printf(
            "JACK: the loss logged %.2f s after it began; sound again %.2f s after "
            "the server came back\n",
            (loggedLossUs - lossUs) / 1e6, (heardUs - serverBackUs) / 1e6);
        EXPECT_LT(heardUs - serverBackUs, 3000000);
    }

    std::int64_t loggedLossUs = 0;
    std::int64_t loggedRestoreUs = 0;
};

TEST_F(JackServerLossTest, AServerStoppedAndStartedAgain) {
    const core::LocalDateTime t0 = inSeconds(2);
    writeBedAndNews(t0);
    const std::int64_t stopUs = clock.tickUsAt(at(t0, 2));
    const std::int64_t startUs = clock.tickUsAt(at(t0, 4));
    std::int64_t stoppedUs = 0;
    std::int64_t startedUs = 0;
    runStation(at(t0, 8), [&] {
        if (stoppedUs == 0 && clock.tickUs() >= stopUs) {
            // The recorder leaves first: the station's client is the one to lose its server
            // (libjack is not safe with two clients of a dead server closed at once).
            recording.reset();
            stoppedUs = clock.tickUs();
            server->stop();
        }
        if (startedUs == 0 && clock.tickUs() >= startUs) {
            // From the moment jackd is started again: its own start-up counts.
            startedUs = clock.tickUs();
            server = std::make_unique<JackServer>(48000, 256);
            ASSERT_TRUE(server->running());
            recording = std::make_unique<JackRecorder>(10);
            connected = false;
        }
        noteWhenLogged(kLost, loggedLossUs);
        noteWhenLogged(kRestored, loggedRestoreUs);
    });
    ASSERT_GT(startedUs, 0);
    expectTheWayBack(startedUs, stoppedUs);
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
    expectTheWayBack(resumedUs, pausedUs);
}

}  // namespace
}  // namespace pelvano::test
