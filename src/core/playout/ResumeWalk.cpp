#include "core/playout/ResumeWalk.h"

#include <algorithm>

namespace pelvano::core {

namespace {

// A long outage over a table of short items loops many times; a day of 100 ms items is below.
constexpr int kMaxSteps = 1'000'000;

// The first timed row due after `after` and at or before `until`: the earliest second wins,
// and of rows sharing a second the first in the schedule's order.
std::optional<TimedStart> timedRowWithin(const WalkSchedule& s, std::int64_t after,
                                         std::int64_t until) {
    std::optional<TimedStart> first;
    for (const TimedStart& t : s.timed) {
        const std::int64_t at = t.startSecond * 1000LL;
        if (at <= after || at > until) continue;
        if (!first || at < first->startSecond * 1000LL) first = t;
    }
    return first;
}

}  // namespace

std::optional<ResumePoint> WalkToNow(const WalkSchedule& s, int row, std::int64_t startedMs,
                                     std::int64_t nowMs, const RowLength& lengthOf) {
    const int rowCount = static_cast<int>(s.rows.size());
    if (row < 1 || row >= rowCount || nowMs < startedMs) return std::nullopt;
    std::int64_t t = startedMs;
    for (int step = 0; step < kMaxSteps; ++step) {
        const std::optional<std::int64_t> length = lengthOf(row);
        if (!length || *length <= 0) return std::nullopt;
        const bool nextHasStartTime = row + 1 < rowCount && s.rows[row + 1].hasStartTime;
        const NextRow next = NextRowAfter(row, rowCount, nextHasStartTime, s.loops);
        const std::int64_t handover =
            t +
            std::max<std::int64_t>(kShortestTurnMs, *length - s.rows[row].crossSeconds * 1000LL);
        // A timed row takes over at its second, also after the table ended in silence.
        const std::int64_t timedUntil = next.row > 0 ? std::min(handover, nowMs) : nowMs;
        if (const auto timed = timedRowWithin(s, t, timedUntil)) {
            if (timed->row < 1 || timed->row >= rowCount) return std::nullopt;
            row = timed->row;
            t = timed->startSecond * 1000LL;
            continue;
        }
        if (next.row > 0 && handover <= nowMs) {
            row = next.row;
            t = handover;
            continue;
        }
        if (nowMs - t >= *length) return std::nullopt;
        return ResumePoint{row, nowMs - t};
    }
    return std::nullopt;
}

}  // namespace pelvano::core
