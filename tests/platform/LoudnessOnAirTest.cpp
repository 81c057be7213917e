// Files at very different loudness, each with 3 s of silence at both ends, measured into the
// station's cache and played from one schedule on the paced WAV output with the station's own
// loudness source: ffmpeg's EBU R128 meter finds every item of the recording at the target (or
// as near as the true-peak ceiling lets it), no true peak above the ceiling, and no silence
// where two items cross-fade.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "AudioFiles.h"
#include "RecordedWav.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/loudness/CueLevel.h"
#include "core/loudness/LoudnessGain.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/loudness/CachedMeasurement.h"
#include "platform/loudness/LoudnessCache.h"
#include "platform/loudness/StationLoudness.h"
#include "platform/virtual/PacedOutput.h"
#include "support/ProcessOutput.h"
#include "support/RealtimeStationFixture.h"

namespace pelvano::test {
namespace {

constexpr double kSilenceSeconds = 3.0;
constexpr double kSoundSeconds = 6.0;
constexpr double kTarget = -23.0;

struct Meter {
    double integratedLufs = NAN;
    double truePeakDbtp = NAN;
};

// The number after a label of ffmpeg's summary ("I:   -23.0 LUFS"); -inf reads as -inf.
double FigureAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos) return NAN;
    return std::strtod(text.c_str() + at + label.size(), nullptr);
}

// ffmpeg's EBU R128 summary of a file, or of `length` seconds of it from `from`.
Meter Measure(const std::string& file, double from = 0, double length = 0) {
    std::string command = "ffmpeg -nostdin -hide_banner -nostats";
    if (length > 0) command += " -ss " + std::to_string(from) + " -t " + std::to_string(length);
    command += " -i '" + file + "' -af ebur128=peak=true -f null - 2>&1";
    const std::string out = RunOutput(command);
    const std::size_t summary = out.rfind("Summary:");
    Meter m;
    if (summary == std::string::npos) return m;
    const std::string tail = out.substr(summary);
    m.integratedLufs = FigureAfter(tail, "I:");
    m.truePeakDbtp = FigureAfter(tail, "Peak:");
    return m;
}

class LoudnessOnAirTest : public RealtimeStationFixture {
  protected:
    void SetUp() override {
        setKey("chkSectCycle", "NO");
        setKey("chkAllCycle", "NO");
        setKey("spIN", "0");
        setKey("spOut", "0");
        core::IniWrite(paths.settingsFile(), "Linux", "Loudness", "YES");
        core::IniWrite(paths.settingsFile(), "Linux", "TrimSilence", "YES");
        auto sink = std::make_unique<StampedWav>(recording());
        wav = sink.get();
        output = std::make_unique<platform::PacedOutput>(core::Utf8ToGbk("WAV"), std::move(sink));
        decoder = &files;
    }
    std::string recording() const { return (dir.path() / "heard.wav").string(); }

    // A stereo file of `source` (a lavfi graph of kSoundSeconds of mono sound) between the
    // silences, scaled to about `lufs` by ffmpeg's meter, and measured into the station's cache
    // as a library measured ahead of air is.
    void makeFile(const std::string& name, const std::string& source, double lufs) {
        const std::string raw = (dir.path() / "raw.wav").string();
        const std::string file = paths.applicationDir + name;
        const std::string padded =
            source + ",adelay=delays=" + std::to_string(static_cast<int>(kSilenceSeconds * 1000)) +
            ":all=1,apad=pad_dur=" + std::to_string(kSilenceSeconds);
        ASSERT_TRUE(
            RunFfmpeg("-f lavfi -i '" + padded + "' -ac 2 -ar 44100 -c:a pcm_s16le '" + raw + "'"));
        const double gain = lufs - Measure(raw).integratedLufs;
        ASSERT_TRUE(RunFfmpeg("-i '" + raw + "' -af volume=" + std::to_string(gain) +
                              "dB -c:a pcm_s16le '" + file + "'"));
        ASSERT_TRUE(paths.ensureHistoryDir());
        platform::LoudnessCache cache(platform::LoudnessCacheFile(paths));
        const std::optional<core::LoudnessFacts> f =
            platform::MeasureThroughCache(cache, {file, core::ReadCueLevel(paths.settingsFile())});
        ASSERT_TRUE(f && !f->estimate) << name;
        facts[file] = *f;
        std::printf("file %s: %.1f LUFS, true peak %.1f dBTP, cue %.2f-%.2f s\n", name.c_str(),
                    f->integratedLufs, f->truePeakDbtp, f->cueInSeconds, f->cueOutSeconds);
    }

    platform::FfmpegSourceFactory files;
    std::map<std::string, core::LoudnessFacts> facts;  // as the station measured them
    StampedWav* wav = nullptr;
};

TEST_F(LoudnessOnAirTest, EveryItemLandsAtTheTargetWithoutPeaksOrGaps) {
    const std::string seconds = std::to_string(kSoundSeconds);
    const std::vector<std::pair<std::string, double>> items = {
        {"loud.wav", -8.0}, {"noise.wav", -14.0}, {"mid.wav", -23.0}, {"quiet.wav", -30.0}};
    makeFile("loud.wav", "sine=f=440:d=" + seconds, -8.0);
    makeFile("noise.wav", "anoisesrc=c=pink:a=0.5:seed=7:d=" + seconds, -14.0);
    makeFile("mid.wav", "sine=f=660:d=" + seconds, -23.0);
    makeFile("quiet.wav", "anoisesrc=c=white:a=0.5:seed=9:d=" + seconds, -30.0);
    std::vector<Row> rows;
    for (const auto& item : items) rows.push_back({item.first, "", "1"});
    writeSchedule(rows);
    const auto stationLoudness = platform::StationLoudnessOf(paths, loop);
    loudness = stationLoudness.get();

    // When each item's first frame was heard, in the order they went on air.
    std::vector<std::int64_t> onsets;
    const core::LocalDateTime end = inSeconds(static_cast<int>(4 * (kSoundSeconds - 1) + 2));
    runStation(end, [&] {
        core::TcbDSMixerChannel* current = station->state().CurrentChannel;
        if (!current) return;
        const std::optional<std::int64_t> heard = current->FirstHeardUs();
        if (heard && (onsets.empty() || onsets.back() != *heard)) onsets.push_back(*heard);
    });
    station.reset();
    wav->finish();
    ASSERT_EQ(onsets.size(), items.size());

    const WavSamples heard = ReadWav(recording());
    ASSERT_EQ(heard.rate, 44100u);
    const auto secondsOf = [&](std::int64_t us) {
        return static_cast<double>(us - wav->firstHeardUs()) / 1e6;
    };
    // Each item alone: after the previous one's last second, before the next one starts.
    for (std::size_t k = 0; k < items.size(); ++k) {
        const double from = secondsOf(onsets[k]) + 1.2;
        const double to = k + 1 < items.size() ? secondsOf(onsets[k + 1]) - 0.1
                                               : secondsOf(onsets[k]) + kSoundSeconds - 0.1;
        const core::LoudnessFacts& f = facts[paths.applicationDir + items[k].first];
        const double expected = f.integratedLufs + core::LoudnessGain::gainDb(f, kTarget);
        const Meter m = Measure(recording(), from, to - from);
        std::printf("on air %s: %.1f LUFS (expected %.1f) over %.2f s\n", items[k].first.c_str(),
                    m.integratedLufs, expected, to - from);
        EXPECT_NEAR(m.integratedLufs, expected, 0.5) << items[k].first;
        if (f.truePeakDbtp + kTarget - f.integratedLufs <= -1.0) {
            EXPECT_NEAR(expected, kTarget, 1e-9) << items[k].first << ": limited by its peak";
        }
    }
    const Meter whole = Measure(recording());
    std::printf("on air: true peak %.1f dBTP\n", whole.truePeakDbtp);
    EXPECT_LE(whole.truePeakDbtp, core::LoudnessGain::kTruePeakCeilingDbtp + 0.05);

    // The longest stretch below −60 dBFS between the first item's start and the last one's end.
    const auto frameOf = [&](double s) { return static_cast<std::size_t>(s * heard.rate); };
    const std::size_t first = frameOf(secondsOf(onsets.front()));
    const std::size_t last =
        std::min(heard.left.size(), frameOf(secondsOf(onsets.back()) + kSoundSeconds - 0.2));
    std::size_t run = 0;
    std::size_t longest = 0;
    for (std::size_t i = first; i < last; ++i) {
        run = std::fabs(heard.left[i]) < 0.001f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    std::printf("on air: longest silence %.1f ms\n", 1000.0 * longest / heard.rate);
    EXPECT_LE(1000.0 * longest / heard.rate, 50.0);
}

}  // namespace
}  // namespace pelvano::test
