#pragma once
// A local calendar date and time of day, as the clock port reports it. Plain value, any thread.
#include <cstdint>

namespace pelvano::core {

struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    // 1 = Sunday .. 7 = Saturday.
    int weekday() const;
    int secondsOfDay() const { return hour * 3600 + minute * 60 + second; }
    // Days since 1970-01-01 of the date part.
    std::int64_t dayNumber() const;
    // The same time of day, days later (negative: earlier).
    LocalDateTime addDays(int days) const;
    static LocalDateTime fromDayNumber(std::int64_t days, int secondsOfDay = 0, int ms = 0);
    bool operator==(const LocalDateTime&) const = default;
};

// "星期日" .. "星期六" (UTF-8) for weekday 1 = Sunday .. 7 = Saturday.
const char* WeekdayNameUtf8(int weekday);

}  // namespace pelvano::core
