#pragma once
// The sound system's devices through PortAudio. The list is entry 0, the system default, then
// every output device as "name (host API)", converted to GBK. A device that stops while
// playing (unplugged, server gone, callbacks stalled for 2 s) is reported once through
// AudioRenderer::deviceLost; the stream goes on pulling the mixer by the real clock so that
// the station keeps time, re-opens the device by its name every second, and reports
// AudioRenderer::deviceRestored once it plays again.
// UI thread; the callback runs on PortAudio's thread.
#include <memory>
#include <string>
#include <vector>

#include "core/ports/SoundOutput.h"

namespace pelvano::platform {

class PortAudioOutput final : public core::SoundOutput {
  public:
    // Initialises PortAudio; without a working sound system the list holds only entry 0.
    PortAudioOutput();
    ~PortAudioOutput() override;

    const std::vector<core::OutputDevice>& devices() const override { return devices_; }
    std::unique_ptr<core::OutputStream> open(int deviceIndex, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override;

  private:
    class Stream;
    bool initialised_ = false;
    std::vector<core::OutputDevice> devices_;
    std::vector<std::string> names_;  // UTF-8 name of each entry (empty = the default device)
};

}  // namespace pelvano::platform
