#pragma once
// A station in real time through a desktop sound server: a pulseaudio of the test's own with a
// null sink, the station on ALSA's `pulse` device as PortAudio lists it, and parec recording the
// sink's monitor. The recorder runs from before the station starts, so that its frames are
// timed against a long stretch of the sink's clock.
#include <gtest/gtest.h>

#include <memory>

#include "support/PulseServer.h"
#include "support/RecordedStationFixture.h"
#include "support/TempDir.h"

namespace pelvano::test {

class PulseStationFixture : public RecordedStationFixture {
  protected:
    static constexpr std::uint32_t kRecordRate = 48000;

    // The station's stream closes before the server goes.
    void TearDown() override {
        RecordedStationFixture::TearDown();
        output.reset();
    }

    void SetUp() override {
        server = std::make_unique<PulseServer>(serverDir.path().string());
        if (!server->running()) GTEST_SKIP() << "pulseaudio could not be started";
        recording = std::make_unique<MonitorRecorder>(recordSeconds, kRecordRate);
        ASSERT_TRUE(recording->waitForFirstBlock()) << "parec records nothing";
        pulseDevice = playOn("pulse (ALSA)");
        ASSERT_GT(pulseDevice, 0) << "PortAudio has no ALSA pulse device";
    }

    // While the station plays: the sink's latency is the least its clients ask for.
    void noteSinkLatency() {
        sinkLatencyUs = server->sinkLatencyUs();
        recording->setSinkLatencyUs(sinkLatencyUs);
    }

    const HeardRecording* heard() const override { return recording.get(); }

    double recordSeconds = 60;
    TempDir serverDir;
    std::unique_ptr<PulseServer> server;
    std::unique_ptr<MonitorRecorder> recording;
    std::int64_t sinkLatencyUs = 0;
    int pulseDevice = 0;
};

}  // namespace pelvano::test
