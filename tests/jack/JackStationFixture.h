#pragma once
// A station in real time on a real sound server: jackd with its dummy driver (started for the
// test on a server name of its own, stopped by its PID), the station on the device PortAudio
// lists for that server (played by our own JACK client), and a JACK client of ours recording
// the station's output with JACK's own frame times.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "platform/portaudio/PortAudioOutput.h"
#include "support/JackRecorder.h"
#include "support/RealtimeStationFixture.h"

namespace pelvano::test {

class JackStationFixture : public RealtimeStationFixture {
  protected:
    // PortAudio leaves the server before the server goes.
    void TearDown() override {
        RealtimeStationFixture::TearDown();
        output.reset();
    }

    void SetUp() override {
        server = std::make_unique<JackServer>(48000, 256, realtimeServer);
        if (!server->running()) GTEST_SKIP() << "jackd could not be started";
        recording = std::make_unique<JackRecorder>(recordSeconds);
        setKey("chkManOper", "NO");
        setKey("chkSectCycle", "NO");
        setKey("spIN", "0");
        setKey("spOut", "2");
        setKey("spOver", "2");
        output = std::make_unique<platform::PortAudioOutput>();
        for (std::size_t i = 1; i < output->devices().size(); ++i) {
            if (core::GbkToUtf8(output->devices()[i].description).rfind("system (JACK", 0) == 0)
                jackDevice = static_cast<int>(i);
        }
        ASSERT_GT(jackDevice, 0) << "PortAudio has no JACK device";
        setKey("cbDevID", std::to_string(jackDevice));
    }

    // Runs the station, connecting the recorder once the station's client exists.
    void runStation(const core::LocalDateTime& until, const std::function<void()>& onTick = {}) {
        RealtimeStationFixture::runStation(until, [&] {
            if (!connected) connected = recording->recordClient("Pelvano") > 0;
            if (onTick) onTick();
        });
    }

    // Milliseconds from `due` to the first recorded sample above the level, searching from
    // half a second before it; NaN when none.
    double latenessMs(const core::LocalDateTime& due, float level) const {
        const std::int64_t dueUs = clock.tickUsAt(due);
        const std::int64_t heard = firstHeardUs(dueUs - 500000, level);
        return heard == 0 ? NAN : static_cast<double>(heard - dueUs) / 1000.0;
    }

    // When the first recorded sample above the level heard at or after fromUs was heard
    // (Clock::tickUs scale); 0 when none.
    std::int64_t firstHeardUs(std::int64_t fromUs, float level) const {
        for (std::size_t i = 0; i < recording->frames(); ++i) {
            const std::int64_t heard = recording->heardUsOf(i);
            if (heard >= fromUs && std::fabs(recording->sample(i)) > level) return heard;
        }
        return 0;
    }

    // Set in a derived constructor: a real-time server (as on a station), the recording's length.
    bool realtimeServer = false;
    double recordSeconds = 90;
    std::unique_ptr<JackServer> server;
    int jackDevice = 0;
    std::unique_ptr<JackRecorder> recording;  // made once the server runs
    bool connected = false;
};

}  // namespace pelvano::test
