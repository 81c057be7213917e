#include "core/playout/ClockChimes.h"

#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/StoredPathResolver.h"
#include "core/app/TextHelpers.h"
#include "core/audio/SoundBuffer.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/ClockTimes.h"
#include "core/playout/CatchUp.h"
#include "core/playout/PlayerView.h"
#include "core/playout/PlayoutState.h"
#include "core/ports/Clock.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

constexpr int kDay = 86400;
// The clock ticks once a second at any phase: looking two seconds ahead arms a chime at least
// a second before it is due.
constexpr int kChimeLeadSeconds = 2;

}  // namespace

const std::string& WeekdayName(int weekday) {
    return Gbk(WeekdayNameUtf8(weekday));
}

std::string ClockChimes::chimeFileAt(int secondOfDay) const {
    const int hour = secondOfDay / 3600;
    const int minuteSecond = secondOfDay % 3600;
    if (c_.settings.chkClockOne() && minuteSecond == 59 * 60 + 57) {
        return c_.paths.chimesDir() + Format("%2.2d", (hour + 1) % 24) + "点整.Wav";
    }
    if (c_.settings.chkClockHalf() && minuteSecond == 29 * 60 + 57) {
        return c_.paths.chimesDir() + Format("%2.2d", hour) + "点30.Wav";
    }
    return {};
}

bool ClockChimes::chimeWithin(int seconds) const {
    const int now = c_.clock.now().secondsOfDay();
    for (int ahead = 0; ahead <= seconds; ++ahead) {
        if (!chimeFileAt((now + ahead) % kDay).empty()) return true;
    }
    return false;
}

void ClockChimes::sound(int secondOfDay) {
    // Each second is looked at once: a second tick within it must not restart the chime, and
    // a tick that comes late still sounds what it passed.
    const int span = lastChimeSecond_ >= 0
                         ? SecondsToLookAt(lastChimeSecond_, secondOfDay, kMaxChimeLatenessSeconds)
                         : 1;
    lastChimeSecond_ = secondOfDay;
    for (int back = span - 1; back >= 0; --back) {
        const int second = ((secondOfDay - back) % kDay + kDay) % kDay;
        if (second == armedSecond_) {
            armedSecond_ = -1;
            continue;
        }
        const std::string file = chimeFileAt(second);
        if (file.empty()) continue;
        const std::string native = MatchPathIgnoringCase(file);
        if (native.empty()) continue;
        start(native, SoundBuffer::kAtOnce);
    }
}

void ClockChimes::start(const std::string& native, std::int64_t atUs) {
    TcbDSMixerChannel& ch = *c_.state.PlayoutChannels[kChimeChannel];
    ch.SetFileName(native);
    ch.SetVolume(0);
    ch.PlayAt(atUs);
}

void ClockChimes::prepare(const LocalDateTime& now) {
    const std::int64_t nowUs = c_.clock.tickUs();
    for (int ahead = 1; ahead <= kChimeLeadSeconds; ++ahead) {
        const int second = (now.secondsOfDay() + ahead) % kDay;
        if (second == armedSecond_) continue;
        const std::string file = chimeFileAt(second);
        if (file.empty()) continue;
        const std::string native = MatchPathIgnoringCase(file);
        if (native.empty()) continue;
        const std::int64_t dueUs = TickUsOfNextSecond(c_.clock, now, second);
        if (dueUs <= nowUs) continue;
        start(native, dueUs);
        armedSecond_ = second;
    }
}

void ClockChimes::Timer1Timer() {
    const LocalDateTime now = c_.clock.now();
    const std::string date = Format("%2.2d.%2.2d.%2.2d", now.year % 100, now.month, now.day);
    if (date != shownDate_) {
        shownDate_ = date;
        c_.view.setLabel(PlayerLabel::plDate, date);
    }
    c_.view.setLabel(PlayerLabel::plTime, NowHms(now));
    if (firstShow) {
        firstShow = false;
        c_.view.setScheduleWindowVisible(IsYes(IniReadDef(c_.settings.file(), "START", "PlayList", "YES")));
        if (c_.settings.chkMin()) c_.view.minimizeApplication();
    }
    sound(now.secondsOfDay());
    prepare(now);
    const std::string& weekday = WeekdayName(now.weekday());
    if (weekday != shownWeekday_) {
        shownWeekday_ = weekday;
        c_.view.setLabel(PlayerLabel::lbWeek, weekday);
    }
    const int w = now.weekday();
    if (w != LastLoadWeekday && now.secondsOfDay() >= c_.settings.LoadTimeSeconds() && c_.settings.chkAutoLoadJM()) {
        LastLoadWeekday = w;
        c_.table.CurrentSchedulePath = TodayScheduleFile(c_.paths, now);
        openSchedule_(c_.table.CurrentSchedulePath);
    }
}

}  // namespace pelvano::core
