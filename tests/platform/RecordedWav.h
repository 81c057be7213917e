#pragma once
// What a station run on the paced WAV output was heard to play: the file, the tick its first
// frame was heard at, and its samples read back.
#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/virtual/WavFileSink.h"

namespace pelvano::test {

// A WAV file that also keeps when its first frame is heard.
class StampedWav final : public platform::FrameSink {
  public:
    explicit StampedWav(const std::string& path) : wav_(path) {}
    void begin(const core::OutputFormat& format) override { wav_.begin(format); }
    void write(const float* frames, std::uint32_t count) override { wav_.write(frames, count); }
    void heardFrom(std::int64_t tickUs) override {
        if (firstHeardUs_ < 0) firstHeardUs_ = tickUs;
    }
    // After the output's stream has stopped.
    void finish() { wav_.finish(); }
    std::int64_t firstHeardUs() const { return firstHeardUs_; }

  private:
    platform::WavFileSink wav_;
    std::atomic<std::int64_t> firstHeardUs_{-1};
};

// The left channel of a 16-bit stereo WAV file as our writer lays it out (44-byte header).
struct WavSamples {
    std::uint32_t rate = 0;
    std::vector<float> left;
};

inline WavSamples ReadWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavSamples out;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(36, 4, "data") != 0)
        return out;
    const auto u8 = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    out.rate = u8(24) | u8(25) << 8 | u8(26) << 16 | static_cast<std::uint32_t>(u8(27)) << 24;
    for (std::size_t i = 44; i + 4 <= bytes.size(); i += 4) {
        const auto v = static_cast<std::int16_t>(u8(i) | u8(i + 1) << 8);
        out.left.push_back(static_cast<float>(v) / 32768.0f);
    }
    return out;
}

}  // namespace pelvano::test
