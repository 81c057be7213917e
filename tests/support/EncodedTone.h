#pragma once
// Real compressed files for tests: a tone encoded by the ffmpeg tool, and a file's audio as the
// station's decoder delivers it. Header only: the tests that use it link the FFmpeg adapter.
#include <cstdlib>
#include <string>

#include "platform/ffmpeg/FfmpegSource.h"

namespace pelvano::test {

// A stereo 44.1 kHz tone of the given length, in the format the file name's extension says;
// false when the encoder is missing.
inline bool EncodeTone(const std::string& path, int seconds = 20, int frequency = 440) {
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i sine=frequency=" + std::to_string(frequency) +
        ":duration=" + std::to_string(seconds) + " -ac 2 -ar 44100 '" + path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Every PCM byte the decoder gives for the file; empty when it cannot be opened.
inline std::string DecodedSamples(const std::string& path) {
    platform::FfmpegSource source;
    core::WaveFormat format;
    std::int64_t duration = 0;
    if (source.open(path, format, duration) != 0) return {};
    std::string samples;
    std::string buffer(65536, '\0');
    core::SourceBlock block;
    while (source.read(buffer.data(), static_cast<std::uint32_t>(buffer.size()), block) == 0 &&
           block.bytes > 0) {
        samples.append(buffer.data(), block.bytes);
    }
    return samples;
}

}  // namespace pelvano::test
