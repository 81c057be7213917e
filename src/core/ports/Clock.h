#pragma once
// The time the station runs on. The real adapter reads the system clocks; the virtual one is
// advanced by tests and simulations, so a whole day can run in seconds.
#include <cstdint>

#include "core/app/DateTime.h"

namespace pelvano::core {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds, any origin. Any thread.
    virtual std::uint64_t tickMs() const = 0;
    // The same monotonic count in microseconds (tickMs() == tickUs() / 1000). Any thread.
    virtual std::int64_t tickUs() const = 0;
    // Local date and time of day. Any thread.
    virtual LocalDateTime now() const = 0;
    // The tickUs() at which the local clock shows `at` (earlier or later), as both clocks run
    // now. Any thread.
    virtual std::int64_t tickUsAt(const LocalDateTime& at) const = 0;
};

}  // namespace pelvano::core
