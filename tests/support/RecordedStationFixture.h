#pragma once
// A station in real time on a real sound server, played through PortAudio and recorded by the
// server's side: the device is found by the start of its name in the list the station shows,
// and each start is timed in the recording.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "core/app/Encoding.h"
#include "platform/portaudio/PortAudioOutput.h"
#include "support/HeardRecording.h"
#include "support/RealtimeStationFixture.h"

namespace pelvano::test {

class RecordedStationFixture : public RealtimeStationFixture {
  protected:
    // What the server played so far; null while there is no recorder.
    virtual const HeardRecording* heard() const = 0;

    // Straight play (no manual operation, no section cycling, short fades) on the first device
    // of the list whose name starts with `prefix`. Its index, 0 when there is none.
    int playOn(const std::string& prefix) {
        setKey("chkManOper", "NO");
        setKey("chkSectCycle", "NO");
        setKey("spIN", "0");
        setKey("spOut", "2");
        setKey("spOver", "2");
        output = std::make_unique<platform::PortAudioOutput>();
        for (std::size_t i = 1; i < output->devices().size(); ++i) {
            if (core::GbkToUtf8(output->devices()[i].description).rfind(prefix, 0) == 0) {
                setKey("cbDevID", std::to_string(i));
                return static_cast<int>(i);
            }
        }
        return 0;
    }

    // Milliseconds from `due` to the first recorded sample above the level, searching from
    // half a second before it; NaN when none.
    double latenessMs(const core::LocalDateTime& due, float level) const {
        const std::int64_t dueUs = clock.tickUsAt(due);
        const std::int64_t heardUs = firstHeardUs(dueUs - 500000, level);
        return heardUs == 0 ? NAN : static_cast<double>(heardUs - dueUs) / 1000.0;
    }

    // When the first recorded sample above the level heard at or after fromUs was heard
    // (Clock::tickUs scale); 0 when none.
    std::int64_t firstHeardUs(std::int64_t fromUs, float level) const {
        const HeardRecording* recording = heard();
        if (recording == nullptr) return 0;
        for (std::size_t i = 0; i < recording->frames(); ++i) {
            const std::int64_t heardUs = recording->heardUsOf(i);
            if (heardUs >= fromUs && std::fabs(recording->sample(i)) > level) return heardUs;
        }
        return 0;
    }

    // A sound server that goes away under the playing station: the loss logged once, the
    // schedule going on by the clock, and the sound back by itself once the server is.
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

    // Plays a bed with news due while the server is away: `stop` runs 2 s into the bed and
    // `start` 2 s later, the station running until 8 s; then checks and prints the way back.
    void expectTheWayBackFromARestart(const char* server, const std::function<void()>& stop,
                                      const std::function<void()>& start) {
        const core::LocalDateTime t0 = inSeconds(2);
        writeBedAndNews(t0);
        const std::int64_t stopUs = clock.tickUsAt(at(t0, 2));
        const std::int64_t startUs = clock.tickUsAt(at(t0, 4));
        std::int64_t stoppedUs = 0;
        std::int64_t startedUs = 0;
        runStation(at(t0, 8), [&] {
            if (stoppedUs == 0 && clock.tickUs() >= stopUs) {
                stoppedUs = clock.tickUs();
                stop();
            }
            if (startedUs == 0 && clock.tickUs() >= startUs) {
                // From the moment the server is started again: its own start-up counts.
                startedUs = clock.tickUs();
                start();
            }
            noteWhenLogged(kLost, loggedLossUs);
            noteWhenLogged(kRestored, loggedRestoreUs);
        });
        ASSERT_GT(startedUs, 0);
        expectTheWayBack(server, startedUs, stoppedUs);
    }

    // Checks and prints the way back: the loss began at lossUs, the server was back at
    // serverBackUs.
    void expectTheWayBack(const char* server, std::int64_t serverBackUs, std::int64_t lossUs) {
        EXPECT_EQ(countOf(kLost), 1);
        EXPECT_EQ(countOf(kRestored), 1);
        // The news started by the clock while the server was away, and is what is heard after.
        EXPECT_EQ(countOf("定时节目开始:序号2"), 1);
        const std::int64_t heardUs = firstHeardUs(serverBackUs, 0.3f);
        ASSERT_GT(heardUs, 0) << "no sound after the server came back";
        std::printf(
            "%s: the loss logged %.2f s after it began; sound again %.2f s after "
            "the server came back\n",
            server, (loggedLossUs - lossUs) / 1e6, (heardUs - serverBackUs) / 1e6);
        EXPECT_LT(heardUs - serverBackUs, 3000000);
    }

    // Noted by the loss tests through noteWhenLogged.
    std::int64_t loggedLossUs = 0;
    std::int64_t loggedRestoreUs = 0;
};

}  // namespace pelvano::test
