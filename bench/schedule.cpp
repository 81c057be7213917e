// Prints: load and save of a 10,000-row schedule, ParseHms and GetField throughput.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/app/TextHelpers.h"
#include "core/schedule/ScheduleFile.h"
#include "core/schedule/ScheduleTable.h"

using namespace pelvano::core;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename F>
double bestOf(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, msSince(start));
    }
    return best;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / ("pelvano-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "bench.JMB").string();
    const std::string settings = (dir / "settings.ini").string();

    Grid grid(kScheduleColumns, 10001);
    for (int r = 1; r <= 10000; ++r) {
        grid.setCell(kColTitle, r, "Song title number " + std::to_string(r));
        grid.setCell(kColArtist, r, "An artist");
        grid.setCell(kColLength, r, "00:03:45");
        grid.setCell(kColStartTime, r, r % 50 == 0 ? "12:00:00" : "");
        grid.setCell(kColFile, r, "D:\\MUSIC\\FOLDER\\SONG" + std::to_string(r) + ".MP3");
    }
    PrepareScheduleGrid(grid);
    ScheduleIoOptions options;
    options.settingsFile = settings;

    const double save = bestOf(5, [&] { SaveSchedule(file, grid, options); });
    Grid loaded(kScheduleColumns, 2);
    const double load = bestOf(5, [&] { LoadSchedule(file, loaded, options); });
    std::printf("schedule of 10,000 rows (%.1f MB): save %.1f ms (flushed to disk), load %.1f ms (target: each < 50 ms)\n",
                static_cast<double>(std::filesystem::file_size(file)) / 1e6, save, load);

    constexpr int kN = 2'000'000;
    long long sink = 0;
    const double hms = bestOf(3, [&] {
        for (int i = 0; i < kN; ++i) sink += ParseHms(i % 2 ? "12:34:56" : " 1 : 2 : 3");
    });
    const double field = bestOf(3, [&] {
        for (int i = 0; i < kN; ++i) sink += static_cast<long long>(GetField("x~~200~~400~~0~~font~~255;0;0;~~1~~0", "~~", 1 + i % 8).size());
    });
    std::printf("ParseHms: %.1f M calls/s; GetField: %.1f M calls/s (checksum %lld)\n", kN / hms / 1e3, kN / field / 1e3, sink);
    std::filesystem::remove_all(dir);
    return 0;
}
