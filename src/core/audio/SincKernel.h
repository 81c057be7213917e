#pragma once
// The low-pass kernel of the mixer's rate conversion: a Kaiser-windowed sinc that keeps
// everything up to 18/22.05 of the lower Nyquist frequency flat and stops from the lower Nyquist
// frequency on (about −95 dB), tabulated at kPhases fractional positions between two source
// frames. The mixer interpolates linearly between neighbouring phases.
//
// Each phase's row is laid out for the frames it weighs as they lie in the ring: for stereo
// every weight appears twice (left, right), and rows are padded with zero weights to a whole
// number of kLanes samples, so that the mixer's dot product runs over contiguous samples in
// independent lanes, which the compiler turns into vector code.
//
// Built on the control side (it allocates); read by the audio callback (immutable once built).
#include <cstdint>
#include <vector>

namespace pelvano::core {

class SincKernel {
  public:
    static constexpr int kPhaseBits = 9;
    static constexpr int kPhases = 1 << kPhaseBits;
    // The most source frames the kernel reaches on either side of the position.
    static constexpr int kMaxHalfTaps = 64;
    // Samples summed side by side in the mixer's dot product.
    static constexpr int kLanes = 8;
    // The most frames a row spans, padding included.
    static constexpr int kMaxSpan = (2 * kMaxHalfTaps + kLanes - 1) / kLanes * kLanes;

    SincKernel(std::uint32_t sourceRate, std::uint32_t deviceRate);

    std::uint32_t sourceRate() const { return sourceRate_; }
    // The output frame at position n + f (0 ≤ f < 1) weighs source frames n − halfTaps() + 1 ..
    // n + halfTaps().
    int halfTaps() const { return halfTaps_; }
    int taps() const { return 2 * halfTaps_; }
    // Frames a row spans from n − halfTaps() + 1 on, the zero-weighted padding included (the
    // padding reads frames ahead of the position, which the ring holds).
    int span() const { return span_; }
    // Samples in a row for 1 or 2 channels: a multiple of kLanes.
    int rowLength(int channels) const { return channels * span_; }
    // The weights at f = phase / kPhases, and their change up to the next phase, one per sample
    // of `channels` interleaved channels.
    const float* weights(std::uint32_t phase, int channels) const {
        return &layout(channels).weights[row(phase, channels)];
    }
    const float* slopes(std::uint32_t phase, int channels) const {
        return &layout(channels).slopes[row(phase, channels)];
    }

  private:
    struct Table {
        std::vector<float> weights;
        std::vector<float> slopes;
    };
    const Table& layout(int channels) const { return channels == 1 ? mono_ : stereo_; }
    std::size_t row(std::uint32_t phase, int channels) const {
        return static_cast<std::size_t>(phase) * static_cast<std::size_t>(rowLength(channels));
    }

    std::uint32_t sourceRate_;
    int halfTaps_;
    int span_;
    Table mono_;
    Table stereo_;
};

}  // namespace pelvano::core
