#pragma once
// A whole station in real time: the system clock (its local time optionally shifted, see
// ShiftedClock), the real-time event loop and an output of the test's choice; the station's
// folder, schedule and tones (or the decoder's files) as in StationFixture.
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/playout/StationFixture.h"
#include "platform/loop/RealtimeLoop.h"
#include "support/ShiftedClock.h"

namespace pelvano::test {

class RealtimeStationFixture : public StationFixture {
  protected:
    RealtimeStationFixture() : StationFixture({}, false) {}
    void TearDown() override { station.reset(); }

    // The local time `seconds` from now, rounded up to a whole second.
    core::LocalDateTime inSeconds(int seconds) const {
        const core::LocalDateTime now = clock.now();
        return core::LocalDateTime::fromDayNumber(now.dayNumber(),
                                                  now.secondsOfDay() + 1 + seconds);
    }
    static std::string hms(const core::LocalDateTime& t) { return core::NowHms(t); }
    static core::LocalDateTime at(const core::LocalDateTime& t, int seconds) {
        return core::LocalDateTime::fromDayNumber(t.dayNumber(), t.secondsOfDay() + seconds);
    }

    // Starts the station on `output` and runs it until `until` (local time); onTick runs every
    // 20 ms on the station's thread.
    virtual void runStation(const core::LocalDateTime& until,
                            const std::function<void()>& onTick = {}) {
        core::StationPorts ports;
        ports.paths = paths;
        ports.clock = &clock;
        ports.timers = &loop.timers();
        ports.pump = &loop;
        ports.audio.output = output.get();
        ports.audio.sources = decoder ? decoder : &tones;
        ports.audio.clock = &clock;
        ports.audio.events = &loop;
        ports.loudness = loudness;
        station = std::make_unique<core::Station>(ports);
        ASSERT_EQ(station->start(), core::StartupOutcome::Running);
        std::atomic<bool> stop{false};
        auto watch = loop.timers().createTimer();
        watch->setInterval(20);
        const std::int64_t endUs = clock.tickUsAt(until);
        watch->setOnTimer([&] {
            if (onTick) onTick();
            if (clock.tickUs() >= endUs) stop = true;
        });
        watch->setEnabled(true);
        loop.run(stop);
    }

    ShiftedClock clock;
    platform::RealtimeLoop loop{clock, [](const std::string& e) { ADD_FAILURE() << e; }};
    std::unique_ptr<core::SoundOutput> output;
};

}  // namespace pelvano::test
