#pragma once
// Between the station's local clock and the monotonic ticks the outputs time their frames by.
// Any thread (they only read the clock).
#include <cstdint>

#include "core/app/DateTime.h"

namespace pelvano::core {

class Clock;

// The tick (µs) at which the clock shows the start of a second of the day: the next such
// second from `now` on (tomorrow's when it has passed today).
std::int64_t TickUsOfNextSecond(const Clock& clock, const LocalDateTime& now, int secondOfDay);
// The local time the clock showed (or will show) at a tick.
LocalDateTime LocalTimeAt(const Clock& clock, std::int64_t tickUs);

}  // namespace pelvano::core
