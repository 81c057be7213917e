#include "platform/loudness/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/loudness/CueFinder.h"
#include "platform/ffmpeg/FfmpegSource.h"

namespace pelvano::platform {

namespace {

constexpr std::size_t kBlockFrames = 8192;

struct StateFree {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using Ebur128 = std::unique_ptr<ebur128_state, StateFree>;

double TruePeakDbtp(ebur128_state* state, unsigned channels) {
    double peak = 0.0;
    for (unsigned c = 0; c < channels; ++c) {
        double channelPeak = 0.0;
        if (ebur128_true_peak(state, c, &channelPeak) == EBUR128_SUCCESS)
            peak = std::max(peak, channelPeak);
    }
    return peak > 0.0 ? std::max(kSilentDbtp, 20.0 * std::log10(peak)) : kSilentDbtp;
}

}  // namespace

std::optional<core::LoudnessFacts> MeasureLoudness(const MeasureRequest& request) {
    FfmpegSource source(FfmpegSource::Samples::Float);
    core::WaveFormat format;
    std::int64_t duration = 0;
    if (source.open(request.path, format, duration) != 0) return std::nullopt;
    const unsigned channels = format.nChannels;
    const unsigned rate = format.nSamplesPerSec;
    // Histogram mode: memory stays bounded however long the file is.
    Ebur128 state(ebur128_init(channels, rate,
                               EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK |
                                   EBUR128_MODE_HISTOGRAM));
    if (!state) return std::nullopt;
    core::CueFinder cues(static_cast<int>(channels), static_cast<int>(rate),
                         request.cueLevelDbfs);
    const std::int64_t limit =
        request.firstSeconds > 0 ? static_cast<std::int64_t>(request.firstSeconds * rate) : -1;
    std::vector<float> block(kBlockFrames * channels);
    std::int64_t frames = 0;
    bool cut = false;
    for (;;) {
        if (request.stop && request.stop->load(std::memory_order_relaxed)) return std::nullopt;
        core::SourceBlock got;
        const std::int32_t r = source.read(block.data(),
                                           static_cast<std::uint32_t>(block.size() * sizeof(float)),
                                           got);
        if (r == core::kSourceEndOfStream) break;
        if (r != 0) return std::nullopt;
        std::size_t count = got.bytes / format.nBlockAlign;
        if (limit >= 0 && frames + static_cast<std::int64_t>(count) >= limit) {
            count = static_cast<std::size_t>(limit - frames);
            cut = true;
        }
        ebur128_add_frames_float(state.get(), block.data(), count);
        cues.add(block.data(), count);
        frames += static_cast<std::int64_t>(count);
        if (cut) break;
    }
    core::LoudnessFacts facts;
    double integrated = -HUGE_VAL;
    ebur128_loudness_global(state.get(), &integrated);
    facts.integratedLufs = std::isfinite(integrated) ? std::max(kSilentLufs, integrated)
                                                     : kSilentLufs;
    double range = 0.0;
    if (ebur128_loudness_range(state.get(), &range) == EBUR128_SUCCESS && std::isfinite(range))
        facts.lraLu = range;
    facts.truePeakDbtp = TruePeakDbtp(state.get(), channels);
    facts.cueInSeconds = cues.cueIn();
    facts.cueOutSeconds = cut ? 0.0 : cues.cueOut();
    facts.estimate = cut;
    return facts;
}

}  // namespace pelvano::platform
