#include "platform/clock/SystemClock.h"

#include <chrono>
#include <ctime>

namespace pelvano::platform {

std::uint64_t SystemClock::tickMs() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
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

}  // namespace pelvano::platform
