#pragma once
// Audio files for the adapter tests: WAV files built byte by byte, and anything else made by
// the ffmpeg command-line tool into a temporary folder.
#include <cstdint>
#include <string>
#include <vector>

namespace pelvano::test {

struct WavLayout {
    std::uint16_t formatTag = 1;  // 1 PCM, 3 IEEE float
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    // Size the header claims for the data; −1: the real size.
    std::int64_t claimedDataBytes = -1;
};

// A complete WAV file holding the given sample bytes.
std::string WavFile(const WavLayout& layout, const std::string& data);
// Interleaved 16-bit samples: frame f of channel c is (f * 7 + c * 1000) mod 65536.
std::string Ramp16(std::uint16_t channels, std::uint32_t frames);
// Runs ffmpeg quietly with the arguments (a shell fragment); true on success.
bool RunFfmpeg(const std::string& arguments);

}  // namespace pelvano::test
