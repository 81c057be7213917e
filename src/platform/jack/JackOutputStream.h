#pragma once
// The station as a client of a JACK server, playing into the input ports of one of its clients
// (the device "system (JACK Audio Connection Kit)" plays into system:playback_1/2). A server
// that shuts down is noticed at once, a stalled one after 2 s (DeviceWatch); the stream then
// connects again by itself as soon as a server of the same rate accepts clients.
//
// Our own client rather than PortAudio's JACK host API: that one waits up to ten minutes for a
// process callback to acknowledge a stop, and a dead server never calls back, so closing a
// stream, or re-initialising PortAudio to see a restarted server, hangs.
//
// Threading: construct and destroy on the UI thread; JACK calls process() on its own thread
// (no locks, no allocation there), the shutdown callback on another; re-connections run on the
// watch's thread, which the destructor stops first.
#include <jack/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/SoundOutput.h"
#include "platform/audio/DeviceWatch.h"

namespace pelvano::platform {

class JackOutputStream final : public core::OutputStream {
  public:
    // target: the JACK client whose input ports play the sound ("system"). The server's rate
    // wins over the format's. Throws std::runtime_error when no server accepts the client.
    JackOutputStream(std::string target, const core::OutputFormat& format,
                     core::AudioRenderer& renderer);
    ~JackOutputStream() override;

    core::OutputFormat format() const override { return format_; }

  private:
    // Registers the ports, activates the client and connects it to the target; on failure the
    // client is closed and false returned.
    bool attach(jack_client_t* client);
    void disconnect();
    bool reconnect(bool gone);
    static int process(std::uint32_t frames, void* self);
    static void shutdown(jack_status_t code, const char* reason, void* self);

    const std::string target_;
    core::OutputFormat format_;
    jack_client_t* client_ = nullptr;
    std::vector<jack_port_t*> ports_;
    std::vector<float> interleaved_;   // one block for the renderer, reserved up front
    std::int64_t jackToSteadyUs_ = 0;  // steady clock = JACK's clock + this
    std::atomic<std::int64_t> playbackLatencyUs_{0};
    std::unique_ptr<DeviceWatch> watch_;
};

}  // namespace pelvano::platform
