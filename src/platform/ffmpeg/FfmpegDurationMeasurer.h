#pragma once
// The length of a sound as FFmpeg reports it on opening, for tools that list files without a
// station (and so without the station's measuring channel). UI thread or any single thread.
#include "core/schedule/RowFillPorts.h"

namespace pelvano::platform {

class FfmpegDurationMeasurer final : public core::DurationMeasurer {
  public:
    // Throws std::runtime_error when FFmpeg cannot open the file.
    long long measureMs(const std::string& nativePath) override;
};

}  // namespace pelvano::platform
