#include "core/playout/Scheduler.h"

#include <algorithm>
#include <cstdlib>

#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/CatchUp.h"
#include "core/playout/ClockTimes.h"
#include "core/playout/PlayProcessLog.h"
#include "core/playout/PlayerView.h"
#include "core/ports/Clock.h"
#include "core/ports/TimerService.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

constexpr int kDay = 86400;

}  // namespace

int RemainingMs(TcbDSMixerChannel& channel) {
    return channel.PlayEnd() - channel.Position();
}

Scheduler::TimedHit Scheduler::TimedRowAt(int second) {
    PlayoutState& s = c_.state;
    if (second == s.LastTimedSecond) return {};
    // The seconds to look at: this one, and those passed since the last look when that was
    // recently and forward (a start-up never looks back).
    const int span =
        scanned_ ? SecondsToLookAt(s.LastTimedSecond, second, kMaxTimedLatenessSeconds) : 1;
    scanned_ = true;
    for (int back = span - 1; back >= 0; --back) {
        const int candidate = ((second - back) % kDay + kDay) % kDay;
        for (const TimedStart& t : c_.table.TimedStartList) {
            if (t.startSecond == candidate) {
                // Later seconds of the span are looked at again by the next tick.
                s.LastTimedSecond = candidate;
                return {t.row, back};
            }
        }
    }
    s.LastTimedSecond = second;
    return {};
}

std::string Scheduler::NextRowStart() const {
    const Grid& grid = c_.table.sgJM;
    if (c_.table.PlayingRow < grid.rowCount() - 1)
        return grid.cell(kColStartTime, c_.table.PlayingRow + 1);
    return {};
}

void Scheduler::prepareTimedRow(const LocalDateTime& now) {
    const std::int64_t nowUs = c_.clock.tickUs();
    // A prepared row that is no longer timed at its second (the schedule changed), or whose
    // second passed without its start, is dropped.
    if (const auto row = items_.preparedRow()) {
        const bool stillDue =
            std::any_of(c_.table.TimedStartList.begin(), c_.table.TimedStartList.end(),
                        [&](const TimedStart& t) {
                            return t.row == *row &&
                                   std::llabs(TickUsOfNextSecond(c_.clock, now, t.startSecond) -
                                              items_.preparedDueUs()) < 500000;
                        });
        if (!stillDue || nowUs > items_.preparedDueUs() + 1000000) items_.CancelPreparedStart();
    }
    for (int ahead = 1; ahead * 1000000LL <= kPrepareLeadUs + 1000000; ++ahead) {
        const int second = (now.secondsOfDay() + ahead) % kDay;
        const std::int64_t dueUs = TickUsOfNextSecond(c_.clock, now, second);
        if (dueUs - nowUs > kPrepareLeadUs) return;
        // The next tick comes at or after the second: this one is the last to prepare on.
        const std::int64_t tickUs = (c_.tmCheckPlay ? c_.tmCheckPlay->interval() : 100) * 1000LL;
        for (const TimedStart& t : c_.table.TimedStartList) {
            if (t.startSecond != second) continue;
            if (items_.preparedRow() == t.row) return;
            items_.PrepareTimedStart(t.row, dueUs, dueUs - nowUs <= tickUs);
            return;
        }
    }
}

NextRow Scheduler::nextRowAfter(int playing) const {
    const Grid& grid = c_.table.sgJM;
    const bool nextHasStartTime =
        playing + 1 < grid.rowCount() &&
        grid.cell(kColStartTime, playing + 1).find(':') != std::string::npos;
    return NextRowAfter(playing, grid.rowCount(), nextHasStartTime,
                        {c_.settings.chkSectCycle(), c_.settings.chkAllCycle()});
}

void Scheduler::openAhead(const LocalDateTime& now) {
    items_.PrepareRow(nextRowAfter(c_.table.PlayingRow).row);
    if (!c_.settings.chkTimedPlay()) return;
    for (const TimedStart& t : c_.table.TimedStartList) {
        const int until = ((t.startSecond - now.secondsOfDay()) % kDay + kDay) % kDay;
        if (until > 0 && until <= kOpenAheadSeconds) items_.PrepareRow(t.row);
    }
}

void Scheduler::tmCheckPlayTimer() {
    const LocalDateTime now = c_.clock.now();
    const int second = ParseHms(NowHms(now));
    openAhead(now);
    if (c_.settings.chkTimedPlay() && !c_.lyrics.chkEditMusic()) {
        prepareTimedRow(now);
        const TimedHit hit = TimedRowAt(second);
        if (hit.row > 0) {
            startTimedRow(hit);
            return;
        }
    } else {
        items_.CancelPreparedStart();
    }
    if (!c_.state.CurrentChannel) {
        // Nothing on air and the last start failed (a timed row's file is bad): go on with the
        // next row as after a finished item, rather than stay silent until the next timed row.
        if (!c_.state.PlayoutHold && c_.table.PlayingRow > 0 &&
            c_.state.Unplayable.contains(c_.table.PlayingRow))
            startNextRow(0);
        return;
    }
    showItemTimes();
    if (c_.state.PlayoutHold) return;
    startNextIfDue();
    endFadeOut();
}

void Scheduler::startTimedRow(const TimedHit& hit) {
    c_.log.LogLine(PlayProcessLog::equalsRule());
    c_.log.LogLine(Gbk("定时节目开始:序号") + std::to_string(hit.row));
    c_.state.Unplayable.clear();
    if (hit.lateness > 0)
        c_.log.LogLine(Gbk("定时节目迟到: [") + std::to_string(hit.lateness) + Gbk("]秒"));
    c_.table.sgJM.setCurrentRow(hit.row);
    items_.FadeOutCurrentItem();
    const LocalDateTime now = c_.clock.now();
    const bool yesterday = now.secondsOfDay() < hit.lateness;
    const int dueSecond = ((now.secondsOfDay() - hit.lateness) % kDay + kDay) % kDay;
    items_.StartTimedRow(c_.clock.tickUsAt(
        LocalDateTime::fromDayNumber(now.dayNumber() - (yesterday ? 1 : 0), dueSecond)));
}

void Scheduler::showItemTimes() {
    TcbDSMixerChannel& current = *c_.state.CurrentChannel;
    const int position = current.Position();
    c_.view.setProgressPosition(position);
    const int r = current.PlayEnd() - position;
    c_.view.setLabel(PlayerLabel::plPlayTime,
                     Format("%3.3d:%2.2d.", (r / 1000) / 60, (r / 1000) % 60));
    c_.view.setLabel(PlayerLabel::plPlayTime2, Format("%1.1d", (r % 1000) / 100));
    c_.view.setLabel(PlayerLabel::plPlayTimeOld,
                     Format("%3.3d:%2.2d", (position / 1000) / 60, (position / 1000) % 60));
    if (c_.lyrics.chkPlaySongText()) c_.lyrics.LyricAdvance(position);
}

void Scheduler::startNextIfDue() {
    TcbDSMixerChannel& current = *c_.state.CurrentChannel;
    const int r = RemainingMs(current);
    const bool stoppedByItself =
        current.State() == ChannelState::Stopped && !c_.state.StopRequested;
    if (r > c_.state.tOver * 1000 && !stoppedByItself) return;
    startNextRow(r);
}

void Scheduler::startNextRow(int remainingMs) {
    // A start that waits for its file goes on air by itself once the file is open.
    if (items_.startWaiting()) return;
    Grid& grid = c_.table.sgJM;
    const std::string next = NextRowStart();
    const auto [row, hasNext, nextIsTimed] = nextRowAfter(c_.table.PlayingRow);
    if (row == 0 || waitsForPlayableRow(row)) {
        nothingPlayable();
        return;
    }
    if (nextIsTimed) {
        c_.log.LogLine(Gbk("本段节目播放完毕，从头开始循环播出"));
    } else if (!hasNext) {
        c_.log.LogLine(Gbk("全部节目播放完毕，从头开始循环播出"));
    } else if (next.empty()) {
        c_.log.LogLine(PlayProcessLog::minusRule());
        c_.log.LogLine(Gbk("下一节目交叉时间到: [") + std::to_string(remainingMs) + Gbk("]毫秒"));
    }
    grid.setCurrentRow(row);
    items_.StartSelectedRow();
}

bool Scheduler::waitsForPlayableRow(int row) {
    UnplayableRows& unplayable = c_.state.Unplayable;
    if (!unplayable.contains(row)) return false;
    if (unplayable.announceWait())
        c_.log.LogLine(Gbk("本轮节目都无法播放，等待下一个定时节目、新的节目表或人工操作"));
    return true;
}

void Scheduler::nothingPlayable() {
    if (onNothingPlayable) onNothingPlayable();
}

bool Scheduler::timedRowWithin(int seconds) const {
    if (!c_.settings.chkTimedPlay()) return false;
    const int now = c_.clock.now().secondsOfDay();
    return std::any_of(c_.table.TimedStartList.begin(), c_.table.TimedStartList.end(),
                       [&](const TimedStart& t) {
                           return ((t.startSecond - now) % kDay + kDay) % kDay <= seconds;
                       });
}

void Scheduler::moveOnFromDeadAir() {
    // A start that waits for its file goes on air by itself.
    if (items_.startWaiting()) return;
    const int row = nextRowAfter(c_.table.PlayingRow).row;
    if (row == 0 || c_.state.Unplayable.contains(row)) {
        nothingPlayable();
        return;
    }
    items_.FadeOutCurrentItem();
    c_.table.sgJM.setCurrentRow(row);
    try {
        items_.StartSelectedRow();
    } catch (...) {
        nothingPlayable();
        throw;
    }
    if (c_.state.Unplayable.contains(row)) nothingPlayable();
}

void Scheduler::endFadeOut() {
    PlayoutState& s = c_.state;
    if (s.PreviousChannel && s.PreviousChannel->State() == ChannelState::Playing) {
        TcbDSMixerChannel& previous = *s.PreviousChannel;
        const int r = RemainingMs(previous);
        if (r <= s.PreviousTimes.tOut * 1000 && !s.FadeOutStarted) {
            s.FadeOutStarted = true;
            previous.Fade(static_cast<std::uint32_t>(std::max(0, r)), kFadeOutLevel);
            c_.log.LogLine(Gbk("旧节目开始淡出: [") + std::to_string(r) + Gbk("]毫秒,<") +
                           ChannelFileName(c_.state, previous) + ">");
            c_.log.LogLine(PlayProcessLog::minusRule());
        }
        return;
    }
    TcbDSMixerChannel* current = s.CurrentChannel;
    if (!current || current->State() == ChannelState::Stopped) return;
    const int r = RemainingMs(*current);
    if (r <= s.tOut * 1000 && !s.FadeOutStarted) {
        s.FadeOutStarted = true;
        current->Fade(static_cast<std::uint32_t>(std::max(0, r)), kFadeOutLevel);
        c_.log.LogLine(Gbk("当前节目开始淡出: [") + std::to_string(r) + Gbk("]毫秒,<") +
                       ChannelFileName(c_.state, *current) + ">");
        c_.log.LogLine(PlayProcessLog::minusRule());
    }
}

}  // namespace pelvano::core
