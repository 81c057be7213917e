#pragma once
// A clock that moves only when told: the tick count starts at startTick and the local date and
// time at start; both advance together. Advanced by the simulation's thread; read from any.
#include <atomic>
#include <cstdint>

#include "core/ports/Clock.h"

namespace pelvano::platform {

class VirtualClock final : public core::Clock {
  public:
    explicit VirtualClock(const core::LocalDateTime& start, std::uint64_t startTick = 0);

    std::uint64_t tickMs() const override { return tick_.load(std::memory_order_acquire); }
    core::LocalDateTime now() const override;
    // Moves to a later tick (an earlier one is ignored).
    void advanceTo(std::uint64_t tickMs);
    void advanceBy(std::uint64_t ms) { advanceTo(tickMs() + ms); }
    // The wall clock is set by ms (negative: back, as NTP or the end of summer time does); the
    // tick count runs on undisturbed.
    void setWallClockBy(std::int64_t ms) { wallOffsetMs_.fetch_add(ms, std::memory_order_acq_rel); }

  private:
    const std::int64_t startDay_;
    const std::int64_t startMsOfDay_;
    const std::uint64_t startTick_;
    std::atomic<std::uint64_t> tick_;
    std::atomic<std::int64_t> wallOffsetMs_{0};
};

}  // namespace pelvano::platform
