#pragma once
// The PCM format record shared by the reader and the channels. Plain value, any thread.
#include <cstdint>

namespace pelvano::core {

struct WaveFormat {
    std::uint16_t wFormatTag = 1;  // 1 = PCM
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;  // 8 = unsigned samples, 16 = signed
    std::uint16_t cbSize = 0;
    bool operator==(const WaveFormat&) const = default;
};

// A PCM record for interleaved integer samples, with the derived fields filled in.
WaveFormat MakePcmFormat(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t bits);

// Stream time: 100-nanosecond units.
inline constexpr std::int64_t kStreamTimePerMs = 10000;
inline constexpr std::int64_t kStreamTimePerSecond = 10000000;

}  // namespace pelvano::core
