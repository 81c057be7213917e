#pragma once
// The sound system's devices through PortAudio. The list is entry 0, the system default, then
// every output device as "name (host API)", converted to GBK; ALSA's named devices add ALSA's
// description ("pulse (ALSA): PulseAudio Sound Server"), found again by name alone. A device of PortAudio's JACK
// host API is played by our own JACK client (JackOutputStream), every other through
// PortAudio. A device that stops while playing (unplugged, server gone, callbacks stalled for
// 2 s) is reported once through AudioRenderer::deviceLost; the station keeps time meanwhile,
// the device is re-opened by itself, and AudioRenderer::deviceRestored reported once it plays
// again (see DeviceWatch).
// UI thread; the callbacks run on PortAudio's or JACK's thread, re-opens on a watch thread.
#include <memory>
#include <string>
#include <vector>

#include "core/ports/SoundOutput.h"

namespace pelvano::platform {

class PortAudioOutput final : public core::SoundOutput {
  public:
    // Lists the devices; without a working sound system the list holds only entry 0.
    PortAudioOutput();

    const std::vector<core::OutputDevice>& devices() const override { return devices_; }
    std::unique_ptr<core::OutputStream> open(int deviceIndex, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override;

  private:
    class Stream;
    struct Entry {
        std::string name;        // "name (host API)", UTF-8; empty = the default device
        std::string jackClient;  // the JACK client played into, for a JACK device
    };
    bool initialised_ = false;  // the list was read
    std::vector<core::OutputDevice> devices_;
    std::vector<Entry> entries_;
};

}  // namespace pelvano::platform
