#pragma once
// A station in real time on a real sound server: jackd with its dummy driver (started for the
// test on a server name of its own, stopped by its PID), the station on the device PortAudio
// lists for that server (played by our own JACK client), and a JACK client of ours recording
// the station's output with JACK's own frame times.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>

#include "core/playout/StationFixture.h"
#include "platform/clock/SystemClock.h"
#include "platform/loop/RealtimeLoop.h"
#include "platform/portaudio/PortAudioOutput.h"
#include "support/JackRecorder.h"

namespace pelvano::test {

class JackStationFixture : public StationFixture {
  protected:
    JackStationFixture() : StationFixture({}, false) {}
    void TearDown() override { station.reset(); }

    void SetUp() override {
        server = std::make_unique<JackServer>(48000, 256);
        if (!server->running()) GTEST_SKIP() << "jackd could not be started";
        recording = std::make_unique<JackRecorder>(90);
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

    // "hh:mm:ss" of the local time `seconds` from now, rounded up to a whole second.
    core::LocalDateTime inSeconds(int seconds) const {
        const core::LocalDateTime now = clock.now();
        return core::LocalDateTime::fromDayNumber(now.dayNumber(),
                                                  now.secondsOfDay() + 1 + seconds);
    }
    static std::string hms(const core::LocalDateTime& t) { return core::NowHms(t); }
    static core::LocalDateTime at(const core::LocalDateTime& t, int seconds) {
        return core::LocalDateTime::fromDayNumber(t.dayNumber(), t.secondsOfDay() + seconds);
    }

    // Runs the station until `until` (local time), connecting the recorder once the station's
    // client exists; onTick runs every 20 ms on the station's thread.
    void runStation(const core::LocalDateTime& until, const std::function<void()>& onTick = {}) {
        core::StationPorts ports;
        ports.paths = paths;
        ports.clock = &clock;
        ports.timers = &loop.timers();
        ports.pump = &loop;
        ports.audio.output = output.get();
        ports.audio.sources = &tones;
        ports.audio.clock = &clock;
        ports.audio.events = &loop;
        station = std::make_unique<core::Station>(ports);
        ASSERT_EQ(station->start(), core::StartupOutcome::Running);
        std::atomic<bool> stop{false};
        auto watch = loop.timers().createTimer();
        watch->setInterval(20);
        const std::int64_t endUs = clock.tickUsAt(until);
        watch->setOnTimer([&] {
            if (!connected) connected = recording->recordClient("Pelvano") > 0;
            if (onTick) onTick();
            if (clock.tickUs() >= endUs) stop = true;
        });
        watch->setEnabled(true);
        loop.run(stop);
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

    platform::SystemClock clock;
    platform::RealtimeLoop loop{clock, [](const std::string& e) { ADD_FAILURE() << e; }};
    std::unique_ptr<JackServer> server;
    std::unique_ptr<platform::PortAudioOutput> output;
    int jackDevice = 0;
    std::unique_ptr<JackRecorder> recording;  // made once the server runs
    bool connected = false;
};

}  // namespace pelvano::test
