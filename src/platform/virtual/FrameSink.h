#pragma once
// Where an output sends what would be heard: interleaved float frames at the output's format.
// Called on the output's rendering thread.
#include <cstdint>

#include "core/ports/SoundOutput.h"

namespace pelvano::platform {

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual void begin(const core::OutputFormat& format) = 0;
    virtual void write(const float* frames, std::uint32_t count) = 0;
    // From an output that knows it: the frames written from now on are heard one after the
    // other from tickUs on (Clock::tickUs scale).
    virtual void heardFrom(std::int64_t tickUs) { static_cast<void>(tickUs); }
};

}  // namespace pelvano::platform
