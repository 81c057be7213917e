#pragma once
// The clock tick (Timer1, every second): date, time and weekday labels, the time signals on
// the chime channel three seconds before each full and half hour, and the automatic load of the
// new day's schedule at the load time. UI thread.
#include <cstdint>
#include <functional>
#include <string>

#include "core/app/DateTime.h"
#include "core/playout/PlayoutContext.h"

namespace pelvano::core {

class ClockChimes {
public:
    // A tick that comes late by up to this many seconds still sounds the chime it passed.
    static constexpr int kMaxChimeLatenessSeconds = 2;

    // openSchedule loads a schedule file the way every load of the station does.
    ClockChimes(PlayoutContext& context, std::function<void(const std::string&)> openSchedule)
        : c_(context), openSchedule_(std::move(openSchedule)) {}

    void Timer1Timer();

    int LastLoadWeekday = 0;
    // Set when the player window is shown; the next tick applies "PlayList" and "启动时最小化".
    bool firstShow = false;

    // The chime file due at a second of the day (checking only the clock's rule), or empty.
    std::string chimeFileAt(int secondOfDay) const;
    // Whether a time signal is due within that many seconds from now.
    bool chimeWithin(int seconds) const;

private:
    void sound(int secondOfDay);
    // Arms the chime of the next seconds on its channel, so that it sounds on its second.
    void prepare(const LocalDateTime& now);
    void start(const std::string& native, std::int64_t atUs);

    PlayoutContext& c_;
    std::function<void(const std::string&)> openSchedule_;
    std::string shownDate_;
    std::string shownWeekday_;
    int lastChimeSecond_ = -1;  // the last second looked at for chimes
    int armedSecond_ = -1;      // the second whose chime is armed
};

// "星期日" .. "星期六" for weekday 1 .. 7, GBK.
const std::string& WeekdayName(int weekday);

}  // namespace pelvano::core
