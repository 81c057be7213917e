#include "CliDates.h"

#include "core/app/TextHelpers.h"

namespace pelvano::cli {

bool ParseDate(const std::string& text, core::LocalDateTime& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int y = 0, m = 0, d = 0;
    if (!core::TryStrToInt(text.substr(0, 4), y) || !core::TryStrToInt(text.substr(5, 2), m) ||
        !core::TryStrToInt(text.substr(8, 2), d) || m < 1 || m > 12 || d < 1 || d > 31) {
        return false;
    }
    date = core::LocalDateTime{y, m, d};
    return core::LocalDateTime::fromDayNumber(date.dayNumber()).day == d;
}

bool ParseDateTime(const std::string& text, core::LocalDateTime& time) {
    if (text.size() != 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':') return false;
    if (!ParseDate(text.substr(0, 10), time)) return false;
    int h = 0, m = 0, s = 0;
    if (!core::TryStrToInt(text.substr(11, 2), h) || !core::TryStrToInt(text.substr(14, 2), m) ||
        !core::TryStrToInt(text.substr(17, 2), s) || h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0) {
        return false;
    }
    time.hour = h;
    time.minute = m;
    time.second = s;
    return true;
}

}  // namespace pelvano::cli
