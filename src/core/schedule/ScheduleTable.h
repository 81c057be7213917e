#pragma once
// The day's schedule: a grid of ten columns and the state beside it that the scheduler reads.
// Owned by the schedule window for the whole run. UI thread.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/AppPaths.h"
#include "core/app/DateTime.h"
#include "core/schedule/Grid.h"
#include "core/schedule/ScheduleFile.h"

namespace pelvano::core {

// Columns of the schedule grid.
enum ScheduleColumn {
    kColNumber = 0,
    kColTitle = 1,
    kColArtist = 2,
    kColLength = 3,
    kColCross = 4,
    kColFadeIn = 5,
    kColFadeOut = 6,
    kColStartTime = 7,
    kColFile = 8,
    kColEstimate = 9,
    kScheduleColumns = 10,
};

struct TimedStart {
    int row = 0;
    int startSecond = 0;  // 0 .. 86399
    bool operator==(const TimedStart&) const = default;
};

struct ScheduleTable {
    Grid sgJM{kScheduleColumns, 2};
    int PlayingRow = 0;
    std::vector<TimedStart> TimedStartList;
    std::string CurrentSchedulePath;  // native path
    std::string caption;              // GBK caption of the schedule window
};

// The GBK header texts of the ten columns.
const std::vector<std::string>& ScheduleHeaderTexts();

// The dated file, else the weekday file, else the default file (existing or not).
std::string TodayScheduleFile(const AppPaths& paths, const LocalDateTime& date);

// Columns, header, fixed column and numbers of a freshly loaded schedule grid.
void PrepareScheduleGrid(Grid& grid);

// Loads the file into the table and prepares it: grid, caption, estimates. (The play-process
// log's day file is the playout's to recompute.)
void OpenScheduleTable(ScheduleTable& table, const std::string& path, const ScheduleIoOptions& options,
                       int defaultCross);

// The cross-fade seconds that the estimate assumes for a cell: its integer, the default when
// that is 0, empty or not a number.
int CrossOf(std::string_view cell, int defaultCross);

// The seconds a row is counted with in the estimates; nullopt: its length cell.
using RowSeconds = std::function<std::optional<int>(int row)>;

// Rebuilds TimedStartList and the estimate column.
void RecomputeEstimates(ScheduleTable& table, int defaultCross, const RowSeconds& seconds = {});
// The estimate column alone, from the start times as they are.
void FillEstimates(Grid& grid, int defaultCross, const RowSeconds& seconds = {});

}  // namespace pelvano::core
