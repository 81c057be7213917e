#pragma once
// An output for a machine without a sound card: a thread paced by the real clock pulls the
// mixer every 10 ms, and hands what would be heard to an optional sink (WAV capture) or drops
// it (null output). Its device list is the default device and this output, so a station starts.
// UI thread; each open stream renders on a thread of its own.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/SoundOutput.h"
#include "platform/virtual/FrameSink.h"

namespace pelvano::platform {

class PacedOutput final : public core::SoundOutput {
  public:
    // description: GBK text of the second device entry. sink may be null.
    PacedOutput(const std::string& description, std::unique_ptr<FrameSink> sink,
                std::uint32_t sampleRate = 44100);
    ~PacedOutput() override;

    const std::vector<core::OutputDevice>& devices() const override { return devices_; }
    // One stream at a time may feed the sink; a second open gets a stream without it.
    std::unique_ptr<core::OutputStream> open(int deviceIndex, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override;

  private:
    class Stream;
    std::vector<core::OutputDevice> devices_;
    std::unique_ptr<FrameSink> sink_;
    std::uint32_t sampleRate_;
    bool sinkInUse_ = false;
};

}  // namespace pelvano::platform
