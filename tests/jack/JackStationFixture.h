#pragma once
// A station in real time on a real sound server: jackd with its dummy driver (started for the
// test on a server name of its own, stopped by its PID), the station on the device PortAudio
// lists for that server (played by our own JACK client), and a JACK client of ours recording
// the station's output with JACK's own frame times.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/JackRecorder.h"
#include "support/RecordedStationFixture.h"

namespace pelvano::test {

class JackStationFixture : public RecordedStationFixture {
  protected:
    // PortAudio leaves the server before the server goes.
    void TearDown() override {
        RecordedStationFixture::TearDown();
        output.reset();
    }

    void SetUp() override {
        server = std::make_unique<JackServer>(48000, 256, realtimeServer);
        if (!server->running()) GTEST_SKIP() << "jackd could not be started";
        recording = std::make_unique<JackRecorder>(recordSeconds);
        jackDevice = playOn("system (JACK");
        ASSERT_GT(jackDevice, 0) << "PortAudio has no JACK device";
    }

    // Runs the station, connecting the recorder once the station's client exists.
    void runStation(const core::LocalDateTime& until,
                    const std::function<void()>& onTick = {}) override {
        RecordedStationFixture::runStation(until, [&] {
            if (!connected) connected = recording->recordClient("Pelvano") > 0;
            if (onTick) onTick();
        });
    }

    const HeardRecording* heard() const override { return recording.get(); }

    // Set in a derived constructor: a real-time server (as on a station), the recording's length.
    bool realtimeServer = false;
    double recordSeconds = 90;
    std::unique_ptr<JackServer> server;
    int jackDevice = 0;
    std::unique_ptr<JackRecorder> recording;  // made once the server runs
    bool connected = false;
};

}  // namespace pelvano::test
