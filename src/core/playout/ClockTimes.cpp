#include "core/playout/ClockTimes.h"

#include "core/ports/Clock.h"

namespace pelvano::core {

namespace {
constexpr std::int64_t kUsPerDay = 86400LL * 1000000;
}

std::int64_t TickUsOfNextSecond(const Clock& clock, const LocalDateTime& now, int secondOfDay) {
    const int days = secondOfDay < now.secondsOfDay() ? 1 : 0;
    return clock.tickUsAt(LocalDateTime::fromDayNumber(now.dayNumber() + days, secondOfDay));
}

LocalDateTime LocalTimeAt(const Clock& clock, std::int64_t tickUs) {
    const LocalDateTime now = clock.now();
    const std::int64_t nowUs =
        (static_cast<std::int64_t>(now.secondsOfDay()) * 1000 + now.millisecond) * 1000;
    // `now` is read to the millisecond: measure from the tick at which the clock showed it.
    const std::int64_t atUs = nowUs + (tickUs - clock.tickUsAt(now));
    std::int64_t day = now.dayNumber();
    std::int64_t us = atUs + 500;  // to the nearest millisecond
    while (us < 0) {
        us += kUsPerDay;
        --day;
    }
    day += us / kUsPerDay;
    us %= kUsPerDay;
    return LocalDateTime::fromDayNumber(day, static_cast<int>(us / 1000000),
                                        static_cast<int>(us / 1000 % 1000));
}

}  // namespace pelvano::core
