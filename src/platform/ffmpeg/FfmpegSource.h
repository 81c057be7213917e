#pragma once
// The AudioSource over FFmpeg (libavformat, libavcodec, libswresample): any file FFmpeg decodes
// opens. PCM comes at the file's own rate and channel count; 8-bit unsigned stays 8-bit, 16-bit
// stays 16-bit, every other sample format becomes 16-bit signed. Measurements ask for 32-bit
// float frames instead (format tag 3), which keep what the decoder gave, overs above full scale
// included. Block times count the frames
// delivered since the last seek, so they are exact to the sample whatever the packet
// timestamps say. A damaged packet is skipped, as players do; read errors of the file fail.
// One thread at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "core/ports/AudioSource.h"

namespace pelvano::platform {

class FfmpegSource final : public core::AudioSource {
  public:
    enum class Samples { Playable, Float };
    explicit FfmpegSource(Samples samples = Samples::Playable);
    ~FfmpegSource() override;

    std::int32_t open(const std::string& path, core::WaveFormat& format,
                      std::int64_t& duration) override;
    std::int32_t read(void* buffer, std::uint32_t size, core::SourceBlock& block) override;
    std::int32_t seek(std::int64_t time) override;
    void close() override;
    std::string errorText(std::int32_t code) const override;
    std::function<std::optional<std::int64_t>()> exactDurationJob() const override;

  private:
    struct State;
    const Samples samples_;
    std::unique_ptr<State> state_;
    // An open that only estimated the duration: the file to count.
    std::string scanPath_;
    int scanStream_ = 0;
};

class FfmpegSourceFactory final : public core::AudioSourceFactory {
  public:
    std::unique_ptr<core::AudioSource> createSource() override;
};

}  // namespace pelvano::platform
