#include "support/SyntheticSource.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/audio/WaveFormat.h"

namespace pelvano::test {

namespace {

constexpr std::int32_t kFileNotFound = -2;

class SyntheticSource final : public core::AudioSource {
  public:
    SyntheticSource(const std::map<std::string, ToneSpec>& files, ToneStats& stats)
        : files_(files), stats_(stats) {}

    std::int32_t open(const std::string& path, core::WaveFormat& format,
                      std::int64_t& duration) override {
        auto it = files_.find(path);
        if (it == files_.end()) return kFileNotFound;
        spec_ = it->second;
        format = core::MakePcmFormat(spec_.channels, spec_.rate, spec_.bits);
        duration = spec_.durationOverride >= 0
                       ? spec_.durationOverride
                       : spec_.frames * core::kStreamTimePerSecond / spec_.rate;
        return 0;
    }

    std::int32_t read(void* buffer, std::uint32_t size, core::SourceBlock& block) override {
        ++stats_.reads;
        if (stats_.reads == stats_.failAtRead) return stats_.failCode;
        const std::uint32_t align = spec_.channels * spec_.bits / 8;
        std::int64_t frames = std::min<std::int64_t>(size / align, spec_.frames - next_);
        if (frames <= 0) return core::kSourceEndOfStream;
        auto* out = static_cast<std::uint8_t*>(buffer);
        for (std::int64_t f = 0; f < frames; ++f) {
            const double v = ToneValue(spec_, next_ + f);
            for (int c = 0; c < spec_.channels; ++c) {
                if (spec_.bits == 8) {
                    *out++ = static_cast<std::uint8_t>(std::lround(128.0 + v * 127.0));
                } else {
                    const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
                    *out++ = static_cast<std::uint8_t>(s & 0xFF);
                    *out++ = static_cast<std::uint8_t>((s >> 8) & 0xFF);
                }
            }
        }
        block.bytes = static_cast<std::uint32_t>(frames * align);
        block.startTime = next_ * core::kStreamTimePerSecond / spec_.rate;
        next_ += frames;
        block.endTime = next_ * core::kStreamTimePerSecond / spec_.rate;
        return 0;
    }

    std::int32_t seek(std::int64_t time) override {
        ++stats_.seeks;
        next_ = std::min(spec_.frames, time * spec_.rate / core::kStreamTimePerSecond);
        return 0;
    }

    void close() override {}

    std::string errorText(std::int32_t code) const override {
        if (code == kFileNotFound) return "No such file or directory";
        if (code == stats_.failCode) return "planted read failure";
        return "";
    }

  private:
    const std::map<std::string, ToneSpec>& files_;
    ToneStats& stats_;
    ToneSpec spec_;
    std::int64_t next_ = 0;
};

}  // namespace

std::unique_ptr<core::AudioSource> SyntheticSourceFactory::createSource() {
    return std::make_unique<SyntheticSource>(files_, stats_);
}

double ToneValue(const ToneSpec& tone, std::int64_t frame) {
    if (tone.pipFrames > 0 && frame % tone.rate >= tone.pipFrames) return 0.0;
    if (tone.soundFrames >= 0 && frame >= tone.soundFrames) return 0.0;
    if (tone.frequency == 0.0) return tone.amplitude;
    return tone.amplitude * std::sin(2.0 * std::numbers::pi * tone.frequency *
                                     static_cast<double>(frame) / tone.rate);
}

}  // namespace pelvano::test
