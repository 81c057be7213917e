#pragma once
// A station in virtual time: one virtual clock, the event queue standing in for the UI thread,
// virtual timers, the virtual output and the stepped refill passes of every channel.
//
// Stepping is event-driven and deterministic. advanceTo(t) repeats, until the clock reads t:
//   1. next = the earliest of t, the next timer tick and the next refill pass;
//   2. the output renders the frames up to next (the mixer consumes them) and the clock moves
//      to next;
//   3. the refill passes due run, then the timers due fire, then the event queue is drained.
// Handlers may call back into the simulation (a wait inside a handler steps time further).
// Simulation thread only: the thread that builds it plays the UI thread.
#include <cstdint>
#include <functional>

#include "core/audio/AudioServices.h"
#include "core/audio/TcbUpdateChannelThread.h"
#include "core/playout/Station.h"
#include "core/ports/EventPump.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/VirtualClock.h"
#include "platform/virtual/VirtualOutput.h"
#include "platform/virtual/VirtualTimers.h"
#include "platform/worker/WorkerThreads.h"

namespace pelvano::platform {

class Simulation final : public core::EventPump {
  public:
    // The longest step processPendingEvents() takes when nothing falls due sooner.
    static constexpr std::uint64_t kIdleStepMs = 10;

    explicit Simulation(const core::LocalDateTime& start, FrameSink* sink = nullptr,
                        std::uint32_t sampleRate = 44100);

    VirtualClock& clock() { return clock_; }
    ManualEventQueue& events() { return events_; }
    VirtualTimers& timers() { return timers_; }
    VirtualOutput& output() { return output_; }
    core::SteppedRefills& refills() { return refills_; }
    // Opens files on threads and waits for each (see WorkerThreads::BeforeReturning).
    WorkerThreads& work() { return work_; }
    // The ports a TcbDSMixer needs, with the given decoder. The clock's tick starts at 0.
    core::AudioServices audioServices(core::AudioSourceFactory& sources);
    // A station of the folder on this simulation: its clock, timers, pump and audio.
    core::StationPorts stationPorts(const std::string& folder, core::AudioSourceFactory& sources);

    std::uint64_t nowMs() const { return clock_.tickMs(); }
    void advanceTo(std::uint64_t tickMs);
    void advanceBy(std::uint64_t ms) { advanceTo(nowMs() + ms); }
    // Steps until done() holds (checked after every step) or maxMs have passed; returns done().
    bool runUntil(const std::function<bool()>& done, std::uint64_t maxMs);
    // One step: up to the next tick, refill pass or kIdleStepMs, whichever comes first.
    void processPendingEvents() override;

  private:
    std::uint64_t nextEventBefore(std::uint64_t limit) const;
    void stepTo(std::uint64_t next);

    VirtualClock clock_;
    ManualEventQueue events_;
    VirtualTimers timers_;
    VirtualOutput output_;
    core::SteppedRefills refills_;
    WorkerThreads work_{events_, WorkerThreads::Delivery::BeforeReturning};
};

}  // namespace pelvano::platform
