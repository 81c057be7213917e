#pragma once
// Finds the cue points of a file from its float frames: the first and last instants where the
// short-term level (the loudest channel's RMS over 10 ms windows) rises above the cue level.
// Plain arithmetic, one thread.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelvano::core {

class CueFinder {
  public:
    static constexpr int kWindowsPerSecond = 100;

    CueFinder(int channels, int rate, double cueLevelDbfs);
    // Interleaved frames, in file order.
    void add(const float* frames, std::size_t count);
    // Start of the first loud window, in seconds; 0 when none was loud.
    double cueIn() const;
    // End of the last loud window (the frames seen so far end the last, shorter window);
    // 0 when none was loud.
    double cueOut() const;

  private:
    bool windowLoud() const;

    const int channels_;
    const int rate_;
    const std::int64_t windowFrames_;
    const double threshold_;  // mean square of the cue level
    std::vector<double> squares_;
    std::int64_t framesInWindow_ = 0;
    std::int64_t windowStart_ = 0;
    std::int64_t firstLoud_ = -1;  // frame where the first loud window starts
    std::int64_t lastLoudEnd_ = 0;
};

}  // namespace pelvano::core
