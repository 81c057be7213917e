#include "core/loudness/CueFinder.h"

#include <algorithm>
#include <cmath>

namespace pelvano::core {

CueFinder::CueFinder(int channels, int rate, double cueLevelDbfs)
    : channels_(std::max(1, channels)),
      rate_(std::max(1, rate)),
      windowFrames_(std::max(1, rate_ / kWindowsPerSecond)),
      threshold_(std::pow(10.0, cueLevelDbfs / 10.0)),
      squares_(static_cast<std::size_t>(channels_), 0.0) {}

bool CueFinder::windowLoud() const {
    if (framesInWindow_ == 0) return false;
    const double loudest = *std::max_element(squares_.begin(), squares_.end());
    return loudest / static_cast<double>(framesInWindow_) > threshold_;
}

void CueFinder::add(const float* frames, std::size_t count) {
    for (std::size_t f = 0; f < count; ++f) {
        const float* frame = frames + f * static_cast<std::size_t>(channels_);
        for (int c = 0; c < channels_; ++c) {
            const double s = frame[c];
            squares_[static_cast<std::size_t>(c)] += s * s;
        }
        if (++framesInWindow_ < windowFrames_) continue;
        if (windowLoud()) {
            if (firstLoud_ < 0) firstLoud_ = windowStart_;
            lastLoudEnd_ = windowStart_ + framesInWindow_;
        }
        windowStart_ += framesInWindow_;
        framesInWindow_ = 0;
        std::fill(squares_.begin(), squares_.end(), 0.0);
    }
}

double CueFinder::cueIn() const {
    std::int64_t first = firstLoud_;
    if (first < 0 && windowLoud()) first = windowStart_;
    return first < 0 ? 0.0 : static_cast<double>(first) / rate_;
}

double CueFinder::cueOut() const {
    const std::int64_t end = windowLoud() ? windowStart_ + framesInWindow_ : lastLoudEnd_;
    return static_cast<double>(end) / rate_;
}

}  // namespace pelvano::core
