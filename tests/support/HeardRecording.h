#pragma once
// A recording of what a sound server played, each frame with the steady-clock time it was
// heard: what the real-time station tests measure starts against.
#include <cstddef>
#include <cstdint>

namespace pelvano::test {

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
