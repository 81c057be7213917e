// pelvano-cli demo init DIR: writes the demo station folder.
#include <iostream>

#include "CliCommand.h"
#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

struct DemoRow {
    const char* title;
    const char* artist;
    const char* length;
    const char* cross;
    const char* start;
    const char* file;
};

// The audio files are placeholders until the demo's sounds are generated.
constexpr DemoRow kDemoRows[] = {
    {"开始曲", "演示电台", "00:00:20", "", "08:00:00", "音乐/开始曲.mp3"},
    {"整点新闻", "播音员", "00:00:30", "2", "", "音乐/新闻.wav"},
    {"轻音乐一", "演示乐队", "00:01:00", "", "", "音乐/轻音乐一.mp3"},
    {"广告", "演示电台", "00:00:15", "1", "", "音乐/广告.wav"},
    {"轻音乐二", "演示乐队", "00:01:00", "", "", "音乐/轻音乐二.mp3"},
    {"午间节目", "播音员", "00:00:40", "", "12:00:00", "音乐/午间.mp3"},
    {"结束曲", "演示电台", "00:00:20", "", "", "音乐/结束曲.mp3"},
};

int demo(const Args& args) {
    if (args.size() != 2 || args[0] != "init") return usageError("usage: demo init DIR");
    const AppPaths paths = AppPaths::ofFolder(args[1]);
    if (!ForceDirectories(paths.applicationDir + "音乐") || !paths.ensureHistoryDir()) {
        return failure("cannot create " + paths.applicationDir);
    }
    ScheduleTable table;
    Grid& grid = table.sgJM;
    grid.setRowCount(static_cast<int>(std::size(kDemoRows)) + 1);
    int row = 1;
    for (const DemoRow& d : kDemoRows) {
        grid.setCell(kColTitle, row, Utf8ToGbk(d.title));
        grid.setCell(kColArtist, row, Utf8ToGbk(d.artist));
        grid.setCell(kColLength, row, d.length);
        grid.setCell(kColCross, row, d.cross);
        grid.setCell(kColStartTime, row, d.start);
        grid.setCell(kColFile, row, Utf8ToGbk(d.file));
        ++row;
    }
    PrepareScheduleGrid(grid);
    ScheduleIoOptions options;
    options.settingsFile = paths.settingsFile();
    const SaveResult saved = SaveSchedule(paths.defaultScheduleFile(), grid, options);
    if (!saved.ok) return failure(saved.error);
    std::cout << paths.applicationDir << "\n";
    return 0;
}

const CliRegistration kRegistration("demo", "demo init DIR", demo);

}  // namespace

}  // namespace pelvano::cli
