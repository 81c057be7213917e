#include "core/playout/ClockChimes.h"

#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/StoredPathResolver.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/CatchUp.h"
#include "core/playout/PlayerView.h"
#include "core/playout/PlayoutState.h"
#include "core/ports/Clock.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

constexpr int kDay = 86400;

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

void ClockChimes::sound(int secondOfDay) {
    // Each second is looked at once: a second tick within it must not restart the chime, and
    // a tick that comes late still sounds what it passed.
    const int span = lastChimeSecond_ >= 0
                         ? SecondsToLookAt(lastChimeSecond_, secondOfDay, kMaxChimeLatenessSeconds)
                         : 1;
    lastChimeSecond_ = secondOfDay;
    for (int back = span - 1; back >= 0; --back) {
        const std::string file = chimeFileAt(((secondOfDay - back) % kDay + kDay) % kDay);
        if (file.empty()) continue;
        const std::string native = MatchPathIgnoringCase(file);
        if (native.empty()) continue;
        TcbDSMixerChannel& ch = *c_.state.PlayoutChannels[kChimeChannel];
        ch.SetFileName(native);
        ch.SetVolume(0);
        ch.Play();
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
