// pelvano-cli schedule dump | build | today | estimate
#include <algorithm>
#include <iostream>

#include "CliCommand.h"
#include "CliDates.h"
#include "core/app/AppPaths.h"
#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/ScheduleTsv.h"
#include "platform/clock/SystemClock.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

bool readInput(const std::string& path, std::string& bytes) {
    if (!FileExists(path) || !ReadFileBytes(path, bytes)) {
        failure("cannot read " + path);
        return false;
    }
    return true;
}

int dump(const Args& args) {
    if (args.size() != 1) return usageError("usage: schedule dump FILE.JMB");
    std::string bytes;
    if (!readInput(args[0], bytes)) return 1;
    std::vector<std::string> warnings;
    std::cout << ScheduleFileToTsv(bytes, &warnings);
    for (const auto& w : warnings) std::cerr << "pelvano-cli: " << w << "\n";
    return 0;
}

int build(const Args& args) {
    if (args.size() != 2) return usageError("usage: schedule build IN.tsv OUT.JMB");
    std::string tsv;
    if (!readInput(args[0], tsv)) return 1;
    std::string error;
    if (!WriteFileAtomically(args[1], TsvToScheduleFile(tsv), &error)) return failure(error);
    return 0;
}

int today(const Args& args) {
    if (args.size() > 2) return usageError("usage: schedule today [DIR] [YYYY-MM-DD]");
    const std::string dir = args.empty() ? "." : args[0];
    if (!DirectoryExists(dir)) return failure("not a folder: " + dir);
    LocalDateTime date = platform::SystemClock().now();
    if (args.size() == 2 && !ParseDate(args[1], date)) return usageError("not a date (YYYY-MM-DD): " + args[1]);
    std::cout << TodayScheduleFile(AppPaths::ofFolder(dir), date) << "\n";
    return 0;
}

int estimate(const Args& args) {
    if (args.size() != 1) return usageError("usage: schedule estimate FILE.JMB");
    if (!FileExists(args[0])) return failure("cannot read " + args[0]);
    const std::string settings = AppPaths::ofFolder(FolderOf(args[0])).settingsFile();
    const int spOver = std::clamp(StrToIntDef(IniRead(settings, "START", "spOver"), 3), 1, 60);
    ScheduleTable table;
    ScheduleIoOptions options;
    options.settingsFile = settings;
    OpenScheduleTable(table, args[0], options, spOver);
    const Grid& grid = table.sgJM;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.colCount(); ++c) {
            if (c) std::cout << '\t';
            std::cout << GbkToUtf8(grid.cell(c, r), InvalidBytes::Escape);
        }
        std::cout << '\n';
    }
    std::cout << "\n定时节目\t开播秒\n";
    for (const TimedStart& t : table.TimedStartList) {
        std::cout << t.row << '\t' << FormatHms(t.startSecond) << '\n';
    }
    return 0;
}

int schedule(const Args& args) {
    if (args.empty()) return usageError("usage: schedule dump|build|today|estimate ...");
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "dump") return dump(rest);
    if (args[0] == "build") return build(rest);
    if (args[0] == "today") return today(rest);
    if (args[0] == "estimate") return estimate(rest);
    return usageError("unknown schedule command: " + args[0]);
}

const CliRegistration kRegistration(
    "schedule",
    "schedule dump FILE.JMB | build IN.tsv OUT.JMB | today [DIR] [YYYY-MM-DD] | estimate FILE.JMB",
    schedule);

}  // namespace

}  // namespace pelvano::cli
