#pragma once
// The real clock: the steady clock for ticks and the local wall time (kept by NTP on a
// station). Any thread.
#include "core/ports/Clock.h"

namespace pelvano::platform {

class SystemClock final : public core::Clock {
public:
    std::uint64_t tickMs() const override;
    std::int64_t tickUs() const override;
    core::LocalDateTime now() const override;
    std::int64_t tickUsAt(const core::LocalDateTime& at) const override;
};

// Microseconds of the steady clock: the scale of SystemClock::tickUs, for the outputs' timing.
std::int64_t SteadyUs();

}  // namespace pelvano::platform
