#include "platform/ffmpeg/FfmpegDurationMeasurer.h"

#include <stdexcept>

#include "platform/ffmpeg/FfmpegSource.h"

namespace pelvano::platform {

long long FfmpegDurationMeasurer::measureMs(const std::string& nativePath) {
    FfmpegSource source;
    core::WaveFormat format;
    std::int64_t duration = 0;
    if (source.open(nativePath, format, duration) != 0)
        throw std::runtime_error("cannot open " + nativePath);
    source.close();
    return duration / 10000;  // 100 ns units
}

}  // namespace pelvano::platform
