// A simulated day with 20 files that are not ready among the good ones: FIFOs nobody writes
// (an open that never returns, as on a hung share), 10-hour MP3s without a length header (their
// length needs a count of the whole file; four of them as timed rows), damaged and missing
// files. Every other sound is white noise, so that no stretch of it is legitimately heard twice
// within seconds. Prints:
// - the longest time the UI thread worked without turning its loop: the wall time of each 10 ms
//   step of the simulation, less the time the simulation waited for a worker (a real station
//   never waits for them: the simulation does, so that its day plays the same on every run);
// - the lateness of every timed row, from the as-run file (how late its first sample was heard);
// - the count of 100 ms blocks heard again within 8 s of their first hearing (a channel that
//   replays its 4-second ring).
// Usage: bench_unready_files [HOURS]   (24 by default). Exits 1 when a goal is missed.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CsvFields.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/playout/Station.h"
#include "core/schedule/ScheduleFile.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/FrameSink.h"
#include "platform/virtual/Simulation.h"

using namespace pelvano;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kBlock = kRate / 10;
constexpr std::size_t kRecentBlocks = 80;  // 8 s: twice the ring
constexpr int kMusicRowsPerHour = 6;

// Counts the blocks of the left channel equal to one of the last kRecentBlocks blocks.
class RepeatedBlocks final : public platform::FrameSink {
  public:
    void begin(const core::OutputFormat& format) override { channels_ = format.channels; }
    void write(const float* frames, std::uint32_t count) override {
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto v = static_cast<std::uint32_t>(frames[i * channels_] * 32767.0f);
            hash_ = (hash_ ^ v) * 1099511628211ull;
            loud_ |= v != 0;
            if (++filled_ < kBlock) continue;
            if (loud_ && std::find(recent_.begin(), recent_.end(), hash_) != recent_.end())
                ++repeated;
            recent_.push_back(hash_);
            if (recent_.size() > kRecentBlocks) recent_.pop_front();
            hash_ = 14695981039346656037ull;
            filled_ = 0;
            loud_ = false;
        }
    }
    int repeated = 0;

  private:
    std::uint32_t channels_ = 2, filled_ = 0;
    std::uint64_t hash_ = 14695981039346656037ull;
    bool loud_ = false;
    std::deque<std::uint64_t> recent_;
};

// The simulation's workers, timing how long the UI thread waits in them.
class TimedWork final : public core::BackgroundWork {
  public:
    explicit TimedWork(core::BackgroundWork& inner) : inner_(inner) {}
    void run(std::function<void()> job, std::chrono::milliseconds bound,
             std::function<void(Outcome)> finished) override {
        const auto from = Clock::now();
        inner_.run(std::move(job), bound, [this, from, finished = std::move(finished)](Outcome o) {
            waited += Clock::now() - from;
            finished(o);
        });
    }
    Clock::duration waited{};

  private:
    core::BackgroundWork& inner_;
};

void ffmpeg(const std::string& args) {
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args;
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", cmd.c_str());
        std::exit(1);
    }
}

void makeSounds(const fs::path& dir) {
    for (int k = 0; k < 4; ++k) {
        ffmpeg("-f lavfi -i anoisesrc=d=300:a=0.3:seed=" + std::to_string(k + 1) +
               " -ac 2 -ar 44100 -codec:a pcm_s16le " +
               (dir / core::Format("music%d.wav", k)).string());
    }
    ffmpeg("-f lavfi -i anoisesrc=d=120:a=0.3:seed=9 -ac 2 -ar 44100 -codec:a pcm_s16le " +
           (dir / "timed.wav").string());
    // One minute of MP3 frames without a Xing header, repeated to ten hours.
    const fs::path minute = dir / "minute.mp3";
    ffmpeg(
        "-f lavfi -i anoisesrc=d=60:a=0.3:seed=7 -ar 8000 -ac 1 -codec:a libmp3lame -b:a 8k "
        "-write_xing 0 -id3v2_version 0 -f mp3 " +
        minute.string());
    std::ifstream in(minute, std::ios::binary);
    const std::string piece((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(dir / "long.mp3", std::ios::binary);
    for (int i = 0; i < 600; ++i) out << piece;
    std::string junk(40000, '\0');
    unsigned seed = 99;
    for (char& c : junk) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    std::ofstream(dir / "damaged.mp3", std::ios::binary) << junk;
    for (int k = 0; k < 4; ++k) mkfifo((dir / core::Format("fifo%d.mp3", k)).c_str(), 0600);
}

// Each hour a timed row and six music rows; in the first 16 hours one music row is a bad file
// (a FIFO, the long MP3, a damaged or a missing file, by turns), and four timed rows are the
// long MP3: 20 files not ready in all.
core::Grid makeSchedule() {
    core::Grid grid(core::kScheduleColumns, 1 + 24 * (1 + kMusicRowsPerHour) + 1);
    grid.setCell(core::kColFile, 1, "music0.wav");
    int row = 2;
    for (int h = 0; h < 24; ++h) {
        grid.setCell(core::kColStartTime, row, core::Format("%.2d:00:00", (h + 7) % 24));
        grid.setCell(core::kColFile, row++, h % 6 == 3 ? "long.mp3" : "timed.wav");
        for (int m = 0; m < kMusicRowsPerHour; ++m) {
            std::string file = core::Format("music%d.wav", (h + m) % 4);
            if (m == 2 && h < 16) {
                const std::string n = std::to_string(h / 4);
                const std::string bad[] = {"fifo" + n + ".mp3", "long.mp3", "damaged.mp3",
                                           "missing" + n + ".mp3"};
                file = bad[h % 4];
            }
            grid.setCell(core::kColFile, row++, file);
        }
    }
    return grid;
}

// The "ms late" field of every timed row in the as-run files.
std::vector<std::string> timedLateness(const fs::path& history) {
    std::vector<std::string> late;
    for (const auto& entry : fs::directory_iterator(history)) {
        if (entry.path().string().find(".asrun.csv") == std::string::npos) continue;
        std::ifstream in(entry.path());
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::vector<std::string> f = CsvFields(line);
            if (f.size() == 10 && !f[4].empty()) late.push_back(f[9]);
        }
    }
    return late;
}

}  // namespace

int main(int argc, char** argv) {
    const int hours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 24;
    const fs::path dir =
        fs::temp_directory_path() / ("pelvano-unready-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::printf("generating sounds in %s ...\n", dir.c_str());
    makeSounds(dir);
    const core::LocalDateTime start{2026, 12, 7, 6, 0, 10};
    core::SaveSchedule((dir / "节目表.JMB").string(), makeSchedule(), {});
    core::IniWriteMany((dir / "参数设置.INI").string(), "START",
                       {{"chkManOper", "YES"},
                        {"chkTimedPlay", "YES"},
                        {"chkSectCycle", "YES"},
                        {"chkAllCycle", "YES"},
                        {"spOut", "0"},
                        {"spIN", "0"},
                        {"spOver", "1"}});

    RepeatedBlocks heard;
    platform::Simulation sim(start, &heard, kRate);
    platform::FfmpegSourceFactory decoder;
    TimedWork work(sim.work());
    core::StationPorts ports = sim.stationPorts(dir.string(), decoder);
    ports.work = &work;
    Clock::duration longestStall{};
    std::string stallAt;
    Clock::duration waitedInAll{};
    {
        core::Station station(ports);
        if (station.start() != core::StartupOutcome::Running) return 1;
        const auto wallStart = Clock::now();
        const std::uint64_t endMs = sim.nowMs() + hours * 3600ull * 1000;
        while (sim.nowMs() < endMs) {
            const auto from = Clock::now();
            const auto waitedBefore = work.waited;
            sim.advanceBy(10);
            const auto stall = Clock::now() - from - (work.waited - waitedBefore);
            if (stall > longestStall) {
                longestStall = stall;
                stallAt = core::NowHms(sim.clock().now());
            }
        }
        waitedInAll = work.waited;
        std::printf("simulated %d hours in %.0f s of wall time\n", hours,
                    std::chrono::duration<double>(Clock::now() - wallStart).count());
    }
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::printf(
        "longest UI-thread stall: %.1f ms (at %s; goal <= 20 ms); the simulation waited "
        "%.0f ms for workers in all\n",
        ms(longestStall), stallAt.c_str(), ms(waitedInAll));
    const std::vector<std::string> late = timedLateness(dir / "History");
    int onSample = 0;
    std::string list;
    for (const std::string& l : late) {
        onSample += l == "0.0";
        list += (list.empty() ? "" : " ") + l;
    }
    std::printf("timed rows: %zu started, %d on their sample (goal: all); ms late: %s\n",
                late.size(), onSample, list.c_str());
    std::printf("blocks of 100 ms heard again within 8 s: %d (goal 0)\n", heard.repeated);
    fs::remove_all(dir);
    const bool met = ms(longestStall) <= 20 && onSample == static_cast<int>(late.size()) &&
                     !late.empty() && heard.repeated == 0;
    return met ? 0 : 1;
}
