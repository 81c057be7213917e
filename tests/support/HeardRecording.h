#pragma once
// A recording of what a sound server played, each frame with the steady-clock time it was
// heard: what the real-time station tests measure starts against.
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace pelvano::test {

// Now on the steady clock, in microseconds: the scale recordings date their frames by.
inline std::int64_t SteadyNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class HeardRecording {
  public:
    virtual ~HeardRecording() = default;
    // Frames recorded so far (mono, or the left channel).
    virtual std::size_t frames() const = 0;
    virtual float sample(std::size_t frame) const = 0;
    // Steady-clock microseconds at which the frame was heard (Clock::tickUs scale).
    virtual std::int64_t heardUsOf(std::size_t frame) const = 0;
};

}  // namespace pelvano::test
