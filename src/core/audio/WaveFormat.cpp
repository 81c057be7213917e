#include "core/audio/WaveFormat.h"

namespace pelvano::core {

WaveFormat MakePcmFormat(std::uint16_t channels, std::uint32_t sampleRate, std::uint16_t bits) {
    WaveFormat f;
    f.wFormatTag = 1;
    f.nChannels = channels;
    f.nSamplesPerSec = sampleRate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = sampleRate * f.nBlockAlign;
    f.cbSize = 0;
    return f;
}

}  // namespace pelvano::core
