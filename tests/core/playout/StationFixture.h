#pragma once
// A whole station in virtual time: a station folder with settings, a schedule and sound files
// (empty files on disk, their audio from exact synthetic tones), the station started on a
// simulation, what would be heard captured, the log read back as UTF-8.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/playout/Station.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleFile.h"
#include "platform/virtual/MemoryCapture.h"
#include "platform/virtual/Simulation.h"
#include "support/SyntheticSource.h"
#include "support/TempDir.h"

namespace pelvano::test {

struct Row {
    std::string file = {};  // name in the station folder; empty: no file
    std::string start = {};
    std::string cross = {};
    std::string fadeIn = {};
    std::string fadeOut = {};
    std::string title = "t";
    std::string artist = {};
};

class StationFixture : public ::testing::Test {
  protected:
    // capture: keep what would be heard (about 350 kB a second).
    explicit StationFixture(core::LocalDateTime start = {2026, 12, 7, 7, 59, 50},
                            bool capture = true)
        : paths(core::AppPaths::ofFolder(dir.path().string())),
          sim(start, capture ? &heard : nullptr) {}

    // A sound file of the station folder: an empty file on disk, a tone for the engine.
    void addSound(const std::string& name, double seconds, double amplitude = 0.5,
                  double frequency = 440) {
        dir.write(name, "");
        test::ToneSpec tone;
        tone.frames = static_cast<std::int64_t>(seconds * 44100);
        tone.amplitude = amplitude;
        tone.frequency = frequency;
        tones.add(paths.applicationDir + name, tone);
    }

    // A time-signal file of the station folder: a pip of 0.1 s at a constant level at the start
    // of each of its seconds.
    void addTimeSignal(const std::string& name, int seconds, double amplitude = 0.25) {
        dir.write(name, "");
        test::ToneSpec pips;
        pips.frames = seconds * 44100LL;
        pips.frequency = 0.0;
        pips.amplitude = amplitude;
        pips.pipFrames = 4410;
        tones.add(paths.applicationDir + name, pips);
    }

    void setKey(const std::string& key, const std::string& value) {
        core::IniWrite(paths.settingsFile(), "START", key, value);
    }

    void writeSchedule(const std::vector<Row>& rows, const std::string& name = "节目表.JMB") {
        core::Grid grid(core::kScheduleColumns, static_cast<int>(rows.size()) + 1);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            grid.setCell(core::kColTitle, r, core::Utf8ToGbk(rows[i].title));
            grid.setCell(core::kColArtist, r, core::Utf8ToGbk(rows[i].artist));
            grid.setCell(core::kColLength, r, "00:00:10");
            grid.setCell(core::kColCross, r, rows[i].cross);
            grid.setCell(core::kColFadeIn, r, rows[i].fadeIn);
            grid.setCell(core::kColFadeOut, r, rows[i].fadeOut);
            grid.setCell(core::kColStartTime, r, rows[i].start);
            grid.setCell(core::kColFile, r, core::Utf8ToGbk(rows[i].file));
        }
        core::SaveSchedule(paths.applicationDir + name, grid, {});
    }

    // The station without its start: windows that need it can be made before it plays.
    void makeStation(core::PlayerView* view = nullptr) {
        core::StationPorts ports =
            sim.stationPorts(paths.applicationDir, decoder ? *decoder : tones);
        ports.paths = paths;
        ports.view = view;
        ports.lyrics = lyrics;
        ports.nowPlaying = nowPlaying;
        if (work) ports.work = work;
        ports.loudness = loudness;
        station = std::make_unique<core::Station>(ports);
    }
    void startStation(core::StartupOutcome expected = core::StartupOutcome::Running,
                      core::PlayerView* view = nullptr) {
        if (!station) makeStation(view);
        ASSERT_EQ(station->start(), expected);
    }

    // Runs until the virtual local time reads hh:mm:ss(.mmm) of the start day.
    void runUntilTime(int h, int m, int s, int ms = 0) {
        const core::LocalDateTime now = sim.clock().now();
        const long long target = (h * 3600LL + m * 60 + s) * 1000 + ms;
        const long long current = now.secondsOfDay() * 1000LL + now.millisecond;
        if (target > current) sim.advanceBy(static_cast<std::uint64_t>(target - current));
    }

    // The log window's lines as UTF-8, without their time stamps.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& line : station->logWindow().lines())
            out.push_back(core::GbkToUtf8(line.substr(14)));
        return out;
    }
    // The time stamp "hh:mm:ss.zzz" of the first window line that contains the text.
    std::string timeOf(const std::string& text) const {
        for (const auto& line : station->logWindow().lines()) {
            if (core::GbkToUtf8(line).find(text) != std::string::npos) return line.substr(0, 12);
        }
        return "(not logged)";
    }
    int countOf(const std::string& text) const {
        int n = 0;
        for (const auto& m : messages()) n += m.find(text) != std::string::npos;
        return n;
    }

    // Milliseconds since the simulation began, of the first captured frame at or after fromMs
    // whose level reaches the threshold; -1 when none.
    double firstSoundMs(double fromMs, double threshold = 1e-4) const {
        for (std::size_t i = static_cast<std::size_t>(fromMs * 44.1); i < heard.frameCount(); ++i) {
            if (std::fabs(heard.sample(i, 0)) >= threshold ||
                std::fabs(heard.sample(i, 1)) >= threshold) {
                return static_cast<double>(i) / 44.1;
            }
        }
        return -1;
    }
    double peak(double startMs, double lengthMs) const {
        double p = 0;
        const auto first = static_cast<std::size_t>(startMs * 44.1);
        const auto last =
            std::min(heard.frameCount(), static_cast<std::size_t>((startMs + lengthMs) * 44.1));
        for (std::size_t i = first; i < last; ++i)
            p = std::max(p, static_cast<double>(std::fabs(heard.sample(i, 0))));
        return p;
    }

    TempDir dir;
    core::AppPaths paths;
    platform::MemoryCapture heard;
    test::SyntheticSourceFactory tones;
    // Set before the station is made: another decoder than the tones (real files), the lyrics.
    core::AudioSourceFactory* decoder = nullptr;
    core::LyricsHooks* lyrics = nullptr;
    core::NowPlayingListener* nowPlaying = nullptr;
    core::BackgroundWork* work = nullptr;  // null: the simulation's workers
    core::LoudnessSource* loudness = nullptr;
    platform::Simulation sim;
    std::unique_ptr<core::Station> station;
};

}  // namespace pelvano::test
