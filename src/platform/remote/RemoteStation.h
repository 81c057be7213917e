#pragma once
// The remote control of a running station, as both the player and `pelvano-cli run` set it up:
// with [Remote] Enabled, the status collector on the UI thread, the commands and the server.
// configure() (re)starts it for new settings; the play-process log tells when it listens and
// why it cannot. UI thread.
#include <functional>
#include <memory>

#include "core/ports/EventQueue.h"
#include "core/ports/TimerService.h"
#include "core/remote/RemoteCommands.h"
#include "core/remote/StatusCollector.h"
#include "core/schedule/RemoteSettings.h"
#include "platform/remote/RemoteServer.h"

namespace pelvano::core {
class Station;
}

namespace pelvano::platform {

class StreamOutput;

class RemoteStation {
  public:
    // stream: the station's internet stream, or null.
    RemoteStation(core::Station& station, core::EventQueue& events, core::TimerService& timers,
                  const StreamOutput* stream);
    ~RemoteStation();
    RemoteStation(const RemoteStation&) = delete;
    RemoteStation& operator=(const RemoteStation&) = delete;

    void configure(const core::RemoteSettings& settings);

  private:
    void stop();

    core::Station& station_;
    core::EventQueue& events_;
    core::TimerService& timers_;
    const StreamOutput* stream_;
    core::StatusBoard board_;
    std::unique_ptr<core::StatusCollector> collector_;
    std::unique_ptr<core::RemoteCommands> commands_;
    std::unique_ptr<RemoteServer> server_;
};

// The stream's state for the status: its settings and whether the sender is connected.
core::StreamState StreamStateOf(const StreamOutput& stream);

}  // namespace pelvano::platform
