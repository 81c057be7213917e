#include "platform/remote/RemoteStation.h"

#include "core/app/Encoding.h"
#include "core/playout/Station.h"
#include "platform/stream/StreamOutput.h"

namespace pelvano::platform {

core::StreamState StreamStateOf(const StreamOutput& stream) {
    const core::StreamSettings& settings = stream.settings();
    core::StreamState state;
    state.enabled = settings.Enabled;
    state.connected = settings.Enabled && stream.counters().connected;
    if (settings.Enabled)
        state.text = settings.Host + ":" + std::to_string(settings.Port) + settings.Mount;
    return state;
}

RemoteStation::RemoteStation(core::Station& station, core::EventQueue& events,
                             core::TimerService& timers, const StreamOutput* stream)
    : station_(station), events_(events), timers_(timers), stream_(stream) {}

RemoteStation::~RemoteStation() {
    stop();
}

void RemoteStation::stop() {
    // The server first: no request may find the commands or the board's writer gone.
    server_.reset();
    commands_.reset();
    collector_.reset();
}

void RemoteStation::configure(const core::RemoteSettings& settings) {
    stop();
    if (!settings.Enabled) return;
    std::function<core::StreamState()> streamState;
    if (stream_) streamState = [stream = stream_] { return StreamStateOf(*stream); };
    collector_ = std::make_unique<core::StatusCollector>(station_, timers_, board_, streamState);
    collector_->collect();
    commands_ = std::make_unique<core::RemoteCommands>(station_, events_);
    RemoteServerSetup setup{settings, station_.paths().historyDir(), &station_.clock(), &board_,
                            commands_.get()};
    server_ = std::make_unique<RemoteServer>(std::move(setup));
    std::string error;
    const std::string address = std::string(settings.tls() ? "https://" : "http://") +
                                settings.Bind + ":" + std::to_string(settings.Port) + "/";
    if (!server_->start(error)) {
        server_.reset();
        station_.log().LogLine(core::Utf8ToGbk("远程控制无法启动: " + error));
        return;
    }
    station_.log().LogLine(core::Utf8ToGbk("远程控制已启动: " + address));
}

}  // namespace pelvano::platform
