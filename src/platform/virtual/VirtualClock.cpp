#include "platform/virtual/VirtualClock.h"

namespace pelvano::platform {

namespace {
constexpr std::int64_t kMsPerDay = 86400000;
}

VirtualClock::VirtualClock(const core::LocalDateTime& start, std::uint64_t startTick)
    : startDay_(start.dayNumber()),
      startMsOfDay_(static_cast<std::int64_t>(start.secondsOfDay()) * 1000 + start.millisecond),
      startTick_(startTick),
      tick_(startTick) {}

core::LocalDateTime VirtualClock::now() const {
    const std::int64_t ms = startMsOfDay_ + static_cast<std::int64_t>(tickMs() - startTick_) +
                            wallOffsetMs_.load(std::memory_order_acquire);
    return core::LocalDateTime::fromDayNumber(startDay_ + ms / kMsPerDay,
                                              static_cast<int>(ms % kMsPerDay / 1000),
                                              static_cast<int>(ms % 1000));
}

void VirtualClock::advanceTo(std::uint64_t tickMs) {
    std::uint64_t current = tick_.load(std::memory_order_acquire);
    while (tickMs > current &&
           !tick_.compare_exchange_weak(current, tickMs, std::memory_order_acq_rel)) {
    }
}

}  // namespace pelvano::platform
