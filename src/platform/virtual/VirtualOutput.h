#pragma once
// The output a simulation steps: it has the two devices every station needs to start (the
// default and one more), and renders only when pull() is called, summing every open stream
// into the optional sink (what would be heard). Simulation thread only.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ports/SoundOutput.h"
#include "platform/virtual/FrameSink.h"

namespace pelvano::platform {

class VirtualOutput final : public core::SoundOutput {
  public:
    explicit VirtualOutput(std::uint32_t sampleRate = 44100, FrameSink* sink = nullptr);
    ~VirtualOutput() override;

    const std::vector<core::OutputDevice>& devices() const override { return devices_; }
    std::unique_ptr<core::OutputStream> open(int deviceIndex, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override;
    // Renders the frames due between the last pull and the given number of milliseconds since
    // the output was created (frames = ms × rate ÷ 1000, counted without drift).
    void pullUntil(std::uint64_t elapsedMs);
    std::uint64_t framesRendered() const { return framesRendered_; }
    // Makes every open stream report a lost device.
    void loseDevice();

  private:
    class Stream;
    friend class Stream;
    std::uint32_t sampleRate_;
    FrameSink* sink_;
    std::vector<core::OutputDevice> devices_;
    std::vector<Stream*> streams_;
    std::uint64_t framesRendered_ = 0;
    std::vector<float> mix_;
    std::vector<float> block_;
};

}  // namespace pelvano::platform
