#pragma once
// The system clock with its local time shifted by a fixed amount, for real-time tests that need
// the station's clock near a chosen time of day (a time signal's second) now. Ticks are the
// system clock's own, so outputs and the station share one time scale. Any thread.
#include <cstdint>

#include "core/ports/Clock.h"
#include "platform/clock/SystemClock.h"

namespace pelvano::test {

class ShiftedClock final : public core::Clock {
  public:
    // Shifts the local time so that it reads `at` now (the same day, or any other).
    void showNow(const core::LocalDateTime& at) { shiftUs_ = UsOf(at) - UsOf(system_.now()); }

    std::uint64_t tickMs() const override { return system_.tickMs(); }
    std::int64_t tickUs() const override { return system_.tickUs(); }
    core::LocalDateTime now() const override { return FromUs(UsOf(system_.now()) + shiftUs_); }
    std::int64_t tickUsAt(const core::LocalDateTime& at) const override {
        return system_.tickUsAt(FromUs(UsOf(at) - shiftUs_));
    }

  private:
    static constexpr std::int64_t kDayUs = 86400LL * 1000000;
    static std::int64_t UsOf(const core::LocalDateTime& t) {
        return t.dayNumber() * kDayUs + (t.secondsOfDay() * 1000LL + t.millisecond) * 1000;
    }
    static core::LocalDateTime FromUs(std::int64_t us) {
        const std::int64_t day = (us >= 0 ? us : us - kDayUs + 1) / kDayUs;
        const std::int64_t ms = (us - day * kDayUs) / 1000;
        return core::LocalDateTime::fromDayNumber(day, static_cast<int>(ms / 1000),
                                                  static_cast<int>(ms % 1000));
    }

    platform::SystemClock system_;
    std::int64_t shiftUs_ = 0;
};

}  // namespace pelvano::test
