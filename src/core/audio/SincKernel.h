#pragma once
// The low-pass kernel of the mixer's rate conversion: a Kaiser-windowed sinc that keeps
// everything up to 18/22.05 of the lower Nyquist frequency flat and stops from the lower Nyquist
// frequency on (about −95 dB), tabulated at kPhases fractional positions between two source
// frames. The mixer interpolates linearly between neighbouring phases.
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

    SincKernel(std::uint32_t sourceRate, std::uint32_t deviceRate);

    std::uint32_t sourceRate() const { return sourceRate_; }
    // The output frame at position n + f (0 ≤ f < 1) weighs source frames n − halfTaps() + 1 ..
    // n + halfTaps().
    int halfTaps() const { return halfTaps_; }
    int taps() const { return 2 * halfTaps_; }
    // The weights at f = phase / kPhases, and their change up to the next phase.
    const float* weights(std::uint32_t phase) const {
        return &weights_[static_cast<std::size_t>(phase) * static_cast<std::size_t>(taps())];
    }
    const float* slopes(std::uint32_t phase) const {
        return &slopes_[static_cast<std::size_t>(phase) * static_cast<std::size_t>(taps())];
    }

  private:
    std::uint32_t sourceRate_;
    int halfTaps_;
    std::vector<float> weights_;
    std::vector<float> slopes_;
};

}  // namespace pelvano::core
