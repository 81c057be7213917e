#include "platform/clock/SystemClock.h"

#include <chrono>
#include <ctime>

namespace pelvano::platform {

std::int64_t SteadyUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint64_t SystemClock::tickMs() const {
    return static_cast<std::uint64_t>(tickUs() / 1000);
}

std::int64_t SystemClock::tickUs() const {
    return SteadyUs();
}

core::LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    const auto wall = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(wall);
    std::tm tm {};
    localtime_r(&secs, &tm);
    core::LocalDateTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(duration_cast<milliseconds>(wall.time_since_epoch()).count() % 1000);
    return t;
}

std::int64_t SystemClock::tickUsAt(const core::LocalDateTime& at) const {
    using namespace std::chrono;
    std::tm tm{};
    tm.tm_year = at.year - 1900;
    tm.tm_mon = at.month - 1;
    tm.tm_mday = at.day;
    tm.tm_hour = at.hour;
    tm.tm_min = at.minute;
    tm.tm_sec = at.second;
    tm.tm_isdst = -1;
    const std::int64_t atUs =
        static_cast<std::int64_t>(std::mktime(&tm)) * 1000000 + at.millisecond * 1000;
    // Both clocks read back to back: the pair maps wall time to ticks to a few microseconds.
    const std::int64_t steady = SteadyUs();
    const std::int64_t wallUs =
        duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return steady + (atUs - wallUs);
}

}  // namespace pelvano::platform
