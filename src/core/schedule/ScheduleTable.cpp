#include "core/schedule/ScheduleTable.h"

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/TextHelpers.h"
#include "core/schedule/GridRows.h"

namespace pelvano::core {

namespace {

constexpr int kSecondsPerDay = 86400;

int wrapDay(long long seconds) {
    long long r = seconds % kSecondsPerDay;
    return static_cast<int>(r < 0 ? r + kSecondsPerDay : r);
}

}  // namespace

const std::vector<std::string>& ScheduleHeaderTexts() {
    static const std::vector<std::string> texts = {
        Gbk("序号"), Gbk("歌曲"), Gbk("歌手"), Gbk("时长"), Gbk("交叉|"),
        Gbk("淡入|"), Gbk("淡出|"), Gbk("开播时间"), Gbk("文件名"), Gbk("估计播出时间"),
    };
    return texts;
}

std::string TodayScheduleFile(const AppPaths& paths, const LocalDateTime& date) {
    const std::string dated = paths.existingFile(FormatDate(date, true) + ".JMB");
    if (FileExists(dated)) return dated;
    const std::string weekday =
        paths.existingFile(std::string(WeekdayNameUtf8(date.weekday())) + ".JMB");
    if (FileExists(weekday)) return weekday;
    return paths.defaultScheduleFile();
}

void PrepareScheduleGrid(Grid& grid) {
    grid.setColCount(kScheduleColumns);
    SetHeaderRow(grid, ScheduleHeaderTexts());
    grid.setFixedCols(1);
    Renumber(grid, kColNumber, 1, ' ', 4);
}

void OpenScheduleTable(ScheduleTable& table, const std::string& path, const ScheduleIoOptions& options,
                       int defaultCross) {
    LoadSchedule(path, table.sgJM, options);
    PrepareScheduleGrid(table.sgJM);
    table.CurrentSchedulePath = path;
    table.caption = Gbk("【播出节目表:") + Utf8ToGbk(FileNameOf(path)) + Gbk("】");
    RecomputeEstimates(table, defaultCross);
}

int CrossOf(std::string_view cell, int defaultCross) {
    const int value = StrToIntDef(cell, 0);
    return value == 0 ? defaultCross : value;
}

void RecomputeEstimates(ScheduleTable& table, int defaultCross, const RowSeconds& seconds) {
    Grid& grid = table.sgJM;
    table.TimedStartList.clear();
    for (int r = 1; r < grid.rowCount(); ++r) {
        const std::string& start = grid.cell(kColStartTime, r);
        if (start.find(':') != std::string::npos && start.find(' ') == std::string::npos) {
            table.TimedStartList.push_back({r, wrapDay(ParseHms(start))});
        } else {
            grid.setCell(kColStartTime, r, {});  // incomplete or not a time: erased
        }
    }
    FillEstimates(grid, defaultCross, seconds);
}

void FillEstimates(Grid& grid, int defaultCross, const RowSeconds& seconds) {
    const auto lengthOf = [&](int r) -> long long {
        if (seconds) {
            if (const std::optional<int> s = seconds(r)) return *s;
        }
        return ParseHms(grid.cell(kColLength, r));
    };
    int anchor = 0;
    long long clock = 0;
    int lastCross = 0;
    for (int r = 1; r < grid.rowCount(); ++r) {
        grid.setCell(kColEstimate, r, {});
        const std::string& start = grid.cell(kColStartTime, r);
        if (start.find(':') != std::string::npos) {
            anchor = r;
            clock = static_cast<long long>(ParseHms(start)) + lengthOf(r);
            lastCross = CrossOf(grid.cell(kColCross, r), defaultCross);
        } else if (anchor != 0) {
            clock = wrapDay(clock - lastCross);
            grid.setCell(kColEstimate, r, FormatHms(static_cast<int>(clock)));
            clock += lengthOf(r);
            lastCross = CrossOf(grid.cell(kColCross, r), defaultCross);
        }
    }
}

}  // namespace pelvano::core
