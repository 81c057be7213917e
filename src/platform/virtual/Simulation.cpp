#include "platform/virtual/Simulation.h"

#include <algorithm>

namespace pelvano::platform {

Simulation::Simulation(const core::LocalDateTime& start, FrameSink* sink, std::uint32_t sampleRate)
    : clock_(start),
      timers_(clock_,
              [this](const std::function<void()>& handler) { events_.runGuarded(handler); }),
      output_(sampleRate, sink) {}

core::AudioServices Simulation::audioServices(core::AudioSourceFactory& sources) {
    core::AudioServices services;
    services.output = &output_;
    services.sources = &sources;
    services.clock = &clock_;
    services.events = &events_;
    services.steppedRefills = &refills_;
    return services;
}

core::StationPorts Simulation::stationPorts(const std::string& folder,
                                            core::AudioSourceFactory& sources) {
    core::StationPorts ports;
    ports.paths = core::AppPaths::ofFolder(folder);
    ports.clock = &clock_;
    ports.timers = &timers_;
    ports.pump = this;
    ports.audio = audioServices(sources);
    ports.work = &work_;
    return ports;
}

std::uint64_t Simulation::nextEventBefore(std::uint64_t limit) const {
    std::uint64_t next = limit;
    if (auto due = timers_.nextDue()) next = std::min(next, *due);
    if (auto due = refills_.nextDue()) next = std::min(next, *due);
    return std::max(next, nowMs());
}

void Simulation::stepTo(std::uint64_t next) {
    if (next > nowMs()) {
        output_.pullUntil(next);
        clock_.advanceTo(next);
    }
    refills_.runDue(nowMs());
    timers_.fireDue(nowMs());
    events_.drain();
}

void Simulation::advanceTo(std::uint64_t tickMs) {
    do {
        stepTo(nextEventBefore(tickMs));
    } while (nowMs() < tickMs);
}

bool Simulation::runUntil(const std::function<bool()>& done, std::uint64_t maxMs) {
    const std::uint64_t limit = nowMs() + maxMs;
    while (!done() && nowMs() < limit) stepTo(nextEventBefore(limit));
    return done();
}

void Simulation::processPendingEvents() {
    stepTo(nextEventBefore(nowMs() + kIdleStepMs));
}

}  // namespace pelvano::platform
