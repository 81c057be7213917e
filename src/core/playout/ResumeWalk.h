#pragma once
// Where the schedule stands at a given instant, had the station played on since an item
// started: from that row and its start instant through the rows' lengths, their cross-fades,
// the loops and the timed rows, as the scheduler hands over. Times are milliseconds of one day.
// Pure: a row's length is asked for, never read here.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/playout/RowOrder.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::core {

struct WalkRow {
    int crossSeconds = 0;       // the hand-over comes when the item has this long left
    bool hasStartTime = false;  // a timed row: the items before it do not hand over to it
};

struct WalkSchedule {
    std::vector<WalkRow> rows;      // by row number; rows[0] stands for the header
    std::vector<TimedStart> timed;  // in the schedule's order; empty when timed starts are off
    RowLoops loops;
};

struct ResumePoint {
    int row = 0;
    std::int64_t offsetMs = 0;  // into the row's item
    bool operator==(const ResumePoint&) const = default;
};

// A row's item length in milliseconds; nothing when it is not known (file gone, unreadable).
using RowLength = std::function<std::optional<std::int64_t>(int row)>;

// The scheduler needs a tick to see a hand-over that is due at once.
inline constexpr std::int64_t kShortestTurnMs = 100;

// Nothing when the walk cannot tell: a length it needs is unknown, the instants are out of
// order, or nothing would be on air at nowMs (the table ended without a loop).
std::optional<ResumePoint> WalkToNow(const WalkSchedule& schedule, int row, std::int64_t startedMs,
                                     std::int64_t nowMs, const RowLength& lengthOf);

}  // namespace pelvano::core
