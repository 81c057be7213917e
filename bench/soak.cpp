// A station left alone for days, in virtual time: each day a schedule with a timed row every
// hour, decoded WAV and MP3 files, two unplayable rows in every hour (a missing or an empty file,
// random bytes named .mp3 or a 5.1 WAV, by turns), section and table loops and the time signals on,
// the automatic load of the next day's schedule at 06:00, a change of the output device each noon
// and a settings key rewritten every hour. Checks, and prints:
// - every timed row and every time signal heard at its sample: the music is the same on both
//   sides, the timed item sounds on the left only and the time signal on the right only, so the
//   first sample where left and right differ after a silence of that difference is the first
//   sample of a timed item (left louder) or a time signal (right louder);
// - the as-run files complete: one line per item started in the play-process log, each with the
//   time its first sample was heard, every timed row 0 ms late;
// - memory flat: the peak after the last day within 5 % of the peak after the first;
// - dead air: every stretch of at least a second in which both sides stay below −50 dBFS, with
//   their count, seconds and the longest; none may be longer than the silence window and a
//   second (the fallback folder covers the device changes and the table's waits).
// Usage: bench_soak [DAYS]   (7 by default; a fraction such as 0.125 runs that share of a day).
// Exits 1 when a check fails. One day is the ctest "soak.one_day" of the label "long", left out
// of the default run.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CsvFields.h"
#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/playout/Station.h"
#include "core/schedule/ScheduleFile.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/FrameSink.h"
#include "platform/virtual/Simulation.h"

using namespace pelvano;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr int kMusicRowsPerHour = 7;  // two of them unplayable
// The station starts at 06:00:10, after the automatic load and past the catch-up of the 06:00 row.
constexpr int kStartSecond = 10;

// The first frame of each sound heard on one side only, after at least half a second in which
// both sides were equal.
class OneSidedOnsets final : public platform::FrameSink {
  public:
    struct Onset {
        std::uint64_t frame;
        bool left;
    };
    void begin(const core::OutputFormat& format) override { channels_ = format.channels; }
    void write(const float* frames, std::uint32_t count) override {
        for (std::uint32_t i = 0; i < count; ++i, ++frame_) {
            const float difference = frames[i * channels_] - frames[i * channels_ + 1];
            if (difference == 0.0f) {
                ++equalFrames_;
                continue;
            }
            if (equalFrames_ >= kRate / 2) onsets.push_back({frame_, difference > 0});
            equalFrames_ = 0;
        }
    }
    std::vector<Onset> onsets;

  private:
    std::uint32_t channels_ = 2;
    std::uint64_t frame_ = 0, equalFrames_ = kRate;
};

// Stretches of silence (both sides below the station's silence level) of a second or more.
class SilentStretches final : public platform::FrameSink {
  public:
    static constexpr float kSilence = 0.0031623f;  // −50 dBFS
    void begin(const core::OutputFormat& format) override { channels_ = format.channels; }
    void write(const float* frames, std::uint32_t count) override {
        for (std::uint32_t i = 0; i < count; ++i) {
            bool silent = true;
            for (std::uint32_t c = 0; c < channels_; ++c)
                silent = silent && std::fabs(frames[i * channels_ + c]) < kSilence;
            ++frame_;
            if (silent) {
                ++run_;
                continue;
            }
            close();
        }
    }
    // The stretch going on counts too.
    void close() {
        if (run_ >= kRate) {
            ++count;
            totalSeconds += static_cast<double>(run_) / kRate;
            if (static_cast<double>(run_) / kRate > longestSeconds) {
                longestSeconds = static_cast<double>(run_) / kRate;
                longestFromSecond = static_cast<double>(frame_ - run_) / kRate;
            }
        }
        run_ = 0;
    }
    int count = 0;
    double totalSeconds = 0, longestSeconds = 0;
    double longestFromSecond = 0;  // of the simulation

  private:
    std::uint32_t channels_ = 2;
    std::uint64_t run_ = 0, frame_ = 0;
};

// Both measures hear every frame.
class BothSinks final : public platform::FrameSink {
  public:
    BothSinks(platform::FrameSink& a, platform::FrameSink& b) : a_(a), b_(b) {}
    void begin(const core::OutputFormat& format) override {
        a_.begin(format);
        b_.begin(format);
    }
    void write(const float* frames, std::uint32_t count) override {
        a_.write(frames, count);
        b_.write(frames, count);
    }

  private:
    platform::FrameSink& a_;
    platform::FrameSink& b_;
};

double peakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

int countIn(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = 0; (p = text.find(what, p)) != std::string::npos; ++p) ++n;
    return n;
}

// How far (in frames) the onset nearest to the due frame on that side is, within two seconds;
// nothing when none is.
std::optional<std::int64_t> offsetOfOnset(const std::vector<OneSidedOnsets::Onset>& onsets,
                                          std::uint64_t due, bool left) {
    std::optional<std::int64_t> best;
    for (const auto& o : onsets) {
        const auto offset = static_cast<std::int64_t>(o.frame) - static_cast<std::int64_t>(due);
        if (o.left != left || std::llabs(offset) > 2 * kRate) continue;
        if (!best || std::llabs(offset) < std::llabs(*best)) best = offset;
    }
    return best;
}

struct Heard {
    int due = 0, atSample = 0, heard = 0;
    std::int64_t worstFrames = 0;
    void add(std::optional<std::int64_t> offset) {
        ++due;
        if (!offset) return;
        ++heard;
        atSample += *offset == 0;
        worstFrames = std::max<std::int64_t>(worstFrames, std::llabs(*offset));
    }
};

void ffmpeg(const std::string& args) {
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args;
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", cmd.c_str());
        std::exit(1);
    }
}

std::string dayName(const core::LocalDateTime& d, const char* suffix) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d%s", d.year, d.month, d.day, suffix);
    return buffer;
}

void makeSounds(const fs::path& dir) {
    fs::create_directories(dir / "报时文件");
    // The music: mono, so that both sides carry the same samples; one file at 22.05 kHz, the
    // others at the device's rate (resampling takes most of the time a simulated day takes).
    for (int k = 0; k < 3; ++k) {
        ffmpeg("-f lavfi -i \"sine=f=" + std::to_string(200 + 40 * k) +
               ":d=390:r=" + (k == 1 ? "22050" : "44100") + "\" -ac 1 -codec:a pcm_s16le " +
               (dir / ("music" + std::to_string(k) + ".wav")).string());
    }
    ffmpeg("-f lavfi -i \"sine=f=320:d=390\" -ac 1 -codec:a libmp3lame -q:a 4 " +
           (dir / "music3.mp3").string());
    // A cosine, so that the very first sample is loud.
    ffmpeg("-f lavfi -i \"aevalsrc=0.25*cos(2*PI*3000*t)|0:d=60:s=44100\" -codec:a pcm_s16le " +
           (dir / "timed.wav").string());
    ffmpeg("-f lavfi -i \"aevalsrc=0|0.25*cos(2*PI*1000*t):d=1:s=44100\" -codec:a pcm_s16le " +
           (dir / "报时文件/pips.Wav").string());
    std::string junk(40000, '\0');
    unsigned seed = 99;
    for (char& c : junk) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    core::WriteFileAtomically((dir / "damaged.mp3").string(), junk);
    core::WriteFileAtomically((dir / "empty.mp3").string(), "");
    ffmpeg("-f lavfi -i \"sine=f=500:d=5\" -ac 6 -codec:a pcm_s16le " +
           (dir / "surround.wav").string());
    // The fallback folder: mono, like the music, so that it sounds on both sides alike.
    fs::create_directories(dir / "备用节目");
    for (int k = 0; k < 2; ++k) {
        ffmpeg("-f lavfi -i \"sine=f=" + std::to_string(150 + 30 * k) +
               ":d=90\" -ac 1 -codec:a pcm_s16le " +
               (dir / "备用节目" / ("fill" + std::to_string(k) + ".wav")).string());
    }
    for (int h = 0; h < 24; ++h) {
        for (const char* minute : {"点整", "点30"}) {
            const std::string name = core::Format("%02d", h) + minute + ".Wav";
            fs::copy_file(dir / "报时文件/pips.Wav", dir / "报时文件" / name);
        }
    }
}

// Row 1 is the music the loops come back to; then each hour a timed row and its music.
core::Grid makeSchedule() {
    const int rows = 1 + 24 * (1 + kMusicRowsPerHour);
    core::Grid grid(core::kScheduleColumns, rows + 1);
    grid.setCell(core::kColFile, 1, "music0.wav");
    int row = 2;
    for (int h = 0; h < 24; ++h) {
        grid.setCell(core::kColStartTime, row, core::Format("%.2d:00:00", h));
        grid.setCell(core::kColFile, row++, "timed.wav");
        for (int m = 0; m < kMusicRowsPerHour; ++m) {
            const int k = (h + m) % 4;
            const char* bad = m == 2   ? (h % 2 ? "empty.mp3" : "missing.mp3")
                              : m == 4 ? (h % 2 ? "surround.wav" : "damaged.mp3")
                                       : nullptr;
            grid.setCell(core::kColFile, row++,
                         bad ? bad : "music" + std::to_string(k) + (k == 3 ? ".mp3" : ".wav"));
        }
    }
    return grid;
}

// The play-process logs and the as-run files of every day, put together.
struct Records {
    int logDays = 0, asRunDays = 0;
    int startsLogged = 0, fallbackLogged = 0, deadAirLogged = 0, timedLogged = 0,
        failedLogged = 0, waits = 0, loops = 0;
    int asRunLines = 0, asRunTimed = 0, asRunNotHeard = 0, asRunTimedLate = 0;
};

Records readRecords(const fs::path& dir, const core::LocalDateTime& start, int days) {
    Records r;
    for (int d = 0; d <= days; ++d) {
        const core::LocalDateTime day = start.addDays(d);
        std::string bytes;
        if (core::ReadFileBytes((dir / "History" / dayName(day, ".his")).string(), bytes)) {
            ++r.logDays;
            const std::string text = core::GbkToUtf8(bytes);
            r.startsLogged += countIn(text, "播放成功");
            r.fallbackLogged += countIn(text, "播放备用节目");
            r.deadAirLogged += countIn(text, "检测到静音");
            r.timedLogged += countIn(text, "定时节目开始");
            r.failedLogged += countIn(text, "播放失败");
            r.waits += countIn(text, "本轮节目都无法播放");
            r.loops += countIn(text, "从头开始循环播出");
        }
        if (!core::ReadFileBytes((dir / "History" / dayName(day, ".asrun.csv")).string(), bytes))
            continue;
        ++r.asRunDays;
        std::istringstream lines(bytes);
        std::string line;
        std::getline(lines, line);  // the header
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            // row, title, artist, file, due, on air, end, seconds, how, ms late
            const std::vector<std::string> f = CsvFields(line);
            ++r.asRunLines;
            if (f.size() != 10 || f[5].empty()) ++r.asRunNotHeard;
            if (f.size() == 10 && !f[4].empty()) {
                ++r.asRunTimed;
                if (f[9] != "0.0") ++r.asRunTimedLate;
            }
        }
    }
    return r;
}

struct Figures {
    Heard timed, chimes;
    int strays = 0;
    Records records;
};

// What was heard and recorded in the first `hours` hours (a timed row due at their very end
// included: the simulation runs 10 s past it).
Figures figuresOf(const std::vector<OneSidedOnsets::Onset>& onsets, int hours, const fs::path& dir,
                  const core::LocalDateTime& start) {
    Figures f;
    // Seconds from 06:00:00 (frame 0 is 06:00:10): timed rows at every full hour from 07:00
    // on, time signals 3 s before every half and full hour.
    const auto frameAt = [](int s) { return static_cast<std::uint64_t>(s - kStartSecond) * kRate; };
    for (int k = 1; k <= hours; ++k) {
        f.timed.add(offsetOfOnset(onsets, frameAt(k * 3600), true));
        f.chimes.add(offsetOfOnset(onsets, frameAt(k * 3600 - 3), false));
        f.chimes.add(offsetOfOnset(onsets, frameAt(k * 3600 - 1803), false));
    }
    // Anything else heard on one side only (a damaged file decoded as noise, say).
    const auto heardUntil = frameAt(hours * 3600 + kStartSecond);
    for (const auto& o : onsets) f.strays += o.frame < heardUntil;
    f.strays -= f.timed.heard + f.chimes.heard;
    f.records = readRecords(dir, start, (hours + 23) / 24);
    return f;
}

void printSilence(const SilentStretches& silence) {
    std::printf("  dead air (both sides below -50 dBFS for 1 s or more): %d stretches, %.1f s, "
                "longest %.1f s from %.1f s after the start\n",
                silence.count, silence.totalSeconds, silence.longestSeconds,
                silence.longestFromSecond);
}

void printFigures(const Figures& f, std::size_t errors) {
    std::printf("  timed rows: %d due, %d heard, %d at their sample; worst %lld frames off\n",
                f.timed.due, f.timed.heard, f.timed.atSample,
                static_cast<long long>(f.timed.worstFrames));
    std::printf("  time signals: %d due, %d heard, %d at their sample; worst %lld frames off\n",
                f.chimes.due, f.chimes.heard, f.chimes.atSample,
                static_cast<long long>(f.chimes.worstFrames));
    std::printf("  other one-sided sounds: %d\n", f.strays);
    const Records& r = f.records;
    std::printf(
        "  play-process logs: %d day files, %d items started, %d timed starts, %d failed rows, "
        "%d loops, %d waits, %d fallback items, %d dead air; errors reaching the UI loop: %zu\n",
        r.logDays, r.startsLogged, r.timedLogged, r.failedLogged, r.loops, r.waits,
        r.fallbackLogged, r.deadAirLogged, errors);
    std::printf(
        "  as-run files: %d day files, %d items (%d never heard), %d timed (%d not 0.0 ms "
        "late)\n",
        r.asRunDays, r.asRunLines, r.asRunNotHeard, r.asRunTimed, r.asRunTimedLate);
}

}  // namespace

int main(int argc, char** argv) {
    const double daysAsked = argc > 1 ? std::max(1.0 / 24, std::atof(argv[1])) : 7;
    const int hours = static_cast<int>(std::lround(daysAsked * 24));
    const int days = (hours + 23) / 24;
    const fs::path dir = fs::temp_directory_path() / ("pelvano-soak-" + std::to_string(getpid()));
    std::printf("generating sounds in %s ...\n", dir.c_str());
    makeSounds(dir);
    const core::Grid grid = makeSchedule();
    const core::LocalDateTime start{2026, 12, 7, 6, 0, kStartSecond};
    for (int d = 0; d <= days; ++d)
        core::SaveSchedule((dir / dayName(start.addDays(d), ".JMB")).string(), grid, {});
    const std::string ini = (dir / "参数设置.INI").string();
    core::IniWriteMany(ini, "START",
                       {{"chkManOper", "YES"},
                        {"chkTimedPlay", "YES"},
                        {"chkSectCycle", "YES"},
                        {"chkAllCycle", "YES"},
                        {"chkClockOne", "YES"},
                        {"chkClockHalf", "YES"},
                        {"spOut", "5"},
                        {"spIN", "3"},
                        {"spOver", "5"}});
    core::IniWrite(ini, "Linux", "FallbackFolder", core::Utf8ToGbk("备用节目"));

    OneSidedOnsets listener;
    SilentStretches silence;
    BothSinks sinks(listener, silence);
    platform::Simulation sim(start, &sinks, kRate);
    platform::FfmpegSourceFactory decoder;
    const core::StationPorts ports = sim.stationPorts(dir.string(), decoder);
    double memoryAfterDay1 = 0;
    std::size_t errors = 0;
    {
        core::Station station(ports);
        if (station.start() != core::StartupOutcome::Running) return 1;
        const auto wallStart = std::chrono::steady_clock::now();
        for (int h = 0; h < hours; ++h) {
            sim.advanceBy(3600ull * 1000);
            core::IniWrite(ini, "Soak", "hour", std::to_string(h));  // an hourly rewrite
            // Each noon the operator picks the other output device.
            if (h % 24 == 5) station.changeOutputDevice((h / 24 + 1) % 2);
            if (h % 24 != 23 && h != hours - 1) continue;
            if (h == 23) memoryAfterDay1 = peakMemoryMb();
            std::printf(
                "day %d done, %.0f s of wall time, peak memory %.1f MB; so far:\n", h / 24 + 1,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(),
                peakMemoryMb());
            printFigures(figuresOf(listener.onsets, h + 1, dir, start), sim.events().errorCount());
            printSilence(silence);
            std::fflush(stdout);
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        std::printf("simulated %d hours in %.1f s: %.0fx real time\n", hours, wall,
                    hours * 3600.0 / wall);
        errors = sim.events().errorCount();
        std::printf("schedule after the last automatic load: %s\n",
                    station.table().CurrentSchedulePath.c_str());
    }

    const Figures f = figuresOf(listener.onsets, hours, dir, start);
    printFigures(f, errors);
    silence.close();
    printSilence(silence);
    const double memoryAtEnd = peakMemoryMb();
    if (days >= 2) {
        std::printf(
            "peak memory after day 1: %.1f MB, after day %d: %.1f MB (%+.1f %%; target "
            "within 5 %%)\n",
            memoryAfterDay1, days, memoryAtEnd, (memoryAtEnd / memoryAfterDay1 - 1) * 100);
    } else {
        std::printf("peak memory: %.1f MB\n", memoryAtEnd);
    }
    if (!std::getenv("SOAK_KEEP")) fs::remove_all(dir);
    const bool memoryFlat = days < 2 || memoryAtEnd <= memoryAfterDay1 * 1.05;
    const bool allAtTheirSample =
        f.timed.atSample == f.timed.due && f.chimes.atSample == f.chimes.due && f.strays == 0;
    // The item started with the station is on air before the log exists (it begins with the log
    // window), so the as-run file has one line more than the log has starts.
    const Records& r = f.records;
    const bool recordsComplete = r.asRunLines == r.startsLogged + r.fallbackLogged + 1 &&
                                 r.asRunNotHeard == 0 &&
                                 r.asRunTimed == r.timedLogged && r.asRunTimedLate == 0 &&
                                 r.timedLogged == f.timed.due;
    const bool noLongDeadAir = silence.longestSeconds <= 10 + 1;
    return allAtTheirSample && recordsComplete && memoryFlat && noLongDeadAir ? 0 : 1;
}
