#include "core/app/DateTime.h"

namespace pelvano::core {

// Civil-calendar conversions after Howard Hinnant's public-domain algorithms.
std::int64_t LocalDateTime::dayNumber() const {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalDateTime LocalDateTime::fromDayNumber(std::int64_t z, int secondsOfDay, int ms) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    LocalDateTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = secondsOfDay / 3600;
    t.minute = secondsOfDay / 60 % 60;
    t.second = secondsOfDay % 60;
    t.millisecond = ms;
    return t;
}

int LocalDateTime::weekday() const {
    // 1970-01-01 was a Thursday (5 in the 1 = Sunday numbering).
    const std::int64_t d = dayNumber();
    const std::int64_t w = ((d % 7) + 7 + 4) % 7;  // 0 = Sunday
    return static_cast<int>(w) + 1;
}

const char* WeekdayNameUtf8(int weekday) {
    static const char* const kNames[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    return kNames[((weekday - 1) % 7 + 7) % 7];
}

LocalDateTime LocalDateTime::addDays(int days) const {
    return fromDayNumber(dayNumber() + days, secondsOfDay(), millisecond);
}

}  // namespace pelvano::core
