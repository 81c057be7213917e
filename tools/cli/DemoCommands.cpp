// pelvano-cli demo init DIR: writes the demo station folder.
#include <filesystem>
#include <iostream>

#include "CliCommand.h"
#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/loudness/LoudnessSettings.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/RowFill.h"
#include "core/schedule/ScheduleTable.h"
#include "platform/ffmpeg/FfmpegDurationMeasurer.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

struct DemoRow {
    const char* title;
    const char* artist;
    const char* cross;
    const char* start;
    const char* file;
};

// Sounds made by the build (demo/make-sounds.sh), or installed with the program; a timed row
// every few hours.
constexpr DemoRow kDemoRows[] = {
    {"开始曲", "演示电台", "", "06:00:00", "音乐/开始曲.mp3"},
    {"整点新闻", "播音员", "2", "", "音乐/新闻.wav"},
    {"轻音乐一", "演示乐队", "", "", "音乐/轻音乐一.mp3"},
    {"广告", "演示电台", "1", "", "音乐/广告.wav"},
    {"轻音乐二", "演示乐队", "", "", "音乐/轻音乐二.mp3"},
    {"午间节目", "播音员", "", "12:00:00", "音乐/午间.mp3"},
    {"轻音乐一", "演示乐队", "", "", "音乐/轻音乐一.mp3"},
    {"广告", "演示电台", "", "", "音乐/广告.wav"},
    {"晚间节目", "播音员", "", "18:00:00", "音乐/新闻.wav"},
    {"轻音乐二", "演示乐队", "", "", "音乐/轻音乐二.mp3"},
    {"结束曲", "演示电台", "", "", "音乐/结束曲.mp3"},
};

constexpr const char* kFallbackFolder = "备用节目";

// Without a build that made the sounds into DIR, they come from the demo station beside the
// program: installed under share/pelvano, or generated in the build tree. Files the folder
// already has are left alone.
bool copyDemoSounds(const AppPaths& target) {
    namespace fs = std::filesystem;
    const std::string programDir = AppPaths::ofExecutable().applicationDir;
    for (const fs::path& source : {fs::path(programDir + "../share/pelvano/demo-station"),
                                   fs::path(programDir + "../../demo-station")}) {
        std::error_code ec;
        if (!fs::is_directory(source, ec)) continue;
        if (fs::equivalent(source, target.applicationDir, ec)) return true;
        for (const char* folder : {"音乐", "报时文件", kFallbackFolder}) {
            if (!fs::is_directory(source / folder, ec)) continue;
            fs::copy(source / folder, fs::path(target.applicationDir) / folder,
                     fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
            if (ec) return false;
        }
        return true;
    }
    return true;
}

int demo(const Args& args) {
    if (args.size() != 2 || args[0] != "init") return usageError("usage: demo init DIR");
    const AppPaths paths = AppPaths::ofFolder(args[1]);
    if (!ForceDirectories(paths.applicationDir + "音乐") || !paths.ensureHistoryDir()) {
        return failure("cannot create " + paths.applicationDir);
    }
    // The sounds of the fallback folder come with the others (demo/make-sounds.sh). Written
    // first: [START] stays the file's last section, where tests append their keys.
    if (!IniWriteMany(paths.settingsFile(), "Linux",
                      {{"FallbackFolder", Utf8ToGbk(kFallbackFolder)}})) {
        return failure("cannot write " + paths.settingsFile());
    }
    if (!copyDemoSounds(paths))
        return failure("cannot copy the demo sounds into " + paths.applicationDir);
    platform::FfmpegDurationMeasurer measurer;
    ScheduleTable table;
    Grid& grid = table.sgJM;
    grid.setRowCount(static_cast<int>(std::size(kDemoRows)) + 1);
    int row = 1;
    for (const DemoRow& d : kDemoRows) {
        grid.setCell(kColTitle, row, Utf8ToGbk(d.title));
        grid.setCell(kColArtist, row, Utf8ToGbk(d.artist));
        const std::string sound = paths.applicationDir + d.file;
        if (FileExists(sound)) grid.setCell(kColLength, row, MeasureDuration(measurer, sound));
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
    // Short fades suit the short demo items (a station's default fade-out is 59 s); the demo
    // opens visible, so that a first look finds its windows.
    if (!IniWriteMany(paths.settingsFile(), "START",
                      {{"spIN", "2"}, {"spOut", "3"}, {"spOver", "3"}, {"chkMin", "NO"}})) {
        return failure("cannot write " + paths.settingsFile());
    }
    // Every demo item at one loudness: the demo sounds were made at different levels.
    LoudnessSettings loudness;
    loudness.Loudness = true;
    if (!SaveLoudnessSettings(paths.settingsFile(), loudness)) {
        return failure("cannot write " + paths.settingsFile());
    }
    std::cout << paths.applicationDir << "\n";
    return 0;
}

const CliRegistration kRegistration("demo", "demo init DIR", demo);

}  // namespace

}  // namespace pelvano::cli
