#pragma once
// Keeps every frame that would be heard in memory, for tests that listen to the output.
// Written on the output's rendering thread; read it once the rendering has stopped.
#include <cstddef>
#include <vector>

#include "platform/virtual/FrameSink.h"

namespace pelvano::platform {

class MemoryCapture final : public FrameSink {
  public:
    void begin(const core::OutputFormat& format) override { format_ = format; }
    void write(const float* frames, std::uint32_t count) override {
        samples_.insert(samples_.end(), frames, frames + count * format_.channels);
    }
    const core::OutputFormat& format() const { return format_; }
    std::size_t frameCount() const { return samples_.size() / format_.channels; }
    // Sample of one output channel at a frame index.
    float sample(std::size_t frame, int channel) const {
        return samples_[frame * format_.channels + channel];
    }
    const std::vector<float>& samples() const { return samples_; }

  private:
    core::OutputFormat format_;
    std::vector<float> samples_;
};

}  // namespace pelvano::platform
