#include "platform/jack/JackOutputStream.h"

#include <jack/jack.h>

#include <algorithm>
#include <stdexcept>

#include "platform/clock/SystemClock.h"

namespace pelvano::platform {

namespace {

constexpr const char* kClientName = "Pelvano";
// Frames rendered at a time; a longer JACK period is rendered in several pieces.
constexpr std::uint32_t kBlockFrames = 4096;

// A JACK port-name pattern matching exactly the input ports of that client.
std::string PortsOf(const std::string& client) {
    std::string pattern = "^";
    for (char c : client) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern + ":";
}

jack_client_t* OpenClient() {
    jack_status_t status{};
    return jack_client_open(kClientName, JackNoStartServer, &status);
}

}  // namespace

JackOutputStream::JackOutputStream(std::string target, const core::OutputFormat& format,
                                   core::AudioRenderer& renderer)
    : target_(std::move(target)),
      format_(format),
      interleaved_(static_cast<std::size_t>(kBlockFrames) * format.channels) {
    jack_client_t* client = OpenClient();
    if (client == nullptr) throw std::runtime_error("no JACK server");
    format_.sampleRate = jack_get_sample_rate(client);
    // The watch exists before the first callback.
    watch_ = std::make_unique<DeviceWatch>(renderer, format_,
                                           [this](bool gone) { return reconnect(gone); });
    if (!attach(client)) throw std::runtime_error("the JACK device cannot be played into");
    watch_->start();
}

JackOutputStream::~JackOutputStream() {
    // No re-connection may run while the client goes; its callbacks use the watch until closed.
    watch_->stop();
    disconnect();
}

bool JackOutputStream::attach(jack_client_t* client) {
    client_ = client;
    ports_.clear();
    for (int c = 1; c <= format_.channels; ++c) {
        const std::string name = "out_" + std::to_string(c);
        jack_port_t* port =
            jack_port_register(client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        if (port == nullptr) {
            disconnect();
            return false;
        }
        ports_.push_back(port);
    }
    jack_set_process_callback(client, &JackOutputStream::process, this);
    jack_on_info_shutdown(client, &JackOutputStream::shutdown, this);
    jackToSteadyUs_ = SteadyUs() - static_cast<std::int64_t>(jack_get_time());
    if (jack_activate(client) != 0) {
        disconnect();
        return false;
    }
    const char** targets =
        jack_get_ports(client, PortsOf(target_).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
    if (targets == nullptr) {
        disconnect();
        return false;
    }
    std::size_t count = 0;
    while (targets[count] != nullptr) ++count;
    // A mono stream plays on both sides.
    const std::size_t wanted =
        std::max<std::size_t>(ports_.size(), std::min<std::size_t>(count, 2));
    for (std::size_t i = 0; i < wanted && i < count; ++i) {
        jack_connect(client, jack_port_name(ports_[std::min(i, ports_.size() - 1)]), targets[i]);
    }
    jack_latency_range_t range{};
    jack_port_get_latency_range(jack_port_by_name(client, targets[0]), JackPlaybackLatency, &range);
    playbackLatencyUs_.store(static_cast<std::int64_t>(range.max) * 1000000 / format_.sampleRate,
                             std::memory_order_relaxed);
    jack_free(targets);
    return true;
}

void JackOutputStream::disconnect() {
    if (client_ == nullptr) return;
    // Also safe on a client whose server is gone: it only releases what this side holds.
    jack_client_close(client_);
    client_ = nullptr;
    ports_.clear();
}

bool JackOutputStream::reconnect(bool gone) {
    // A stalled server still holds our client: it plays again when the stall ends.
    if (!gone) return false;
    disconnect();
    jack_client_t* client = OpenClient();
    if (client == nullptr) return false;
    // The mixer runs at the first server's rate; another rate would change the pitch.
    if (jack_get_sample_rate(client) != format_.sampleRate) {
        jack_client_close(client);
        return false;
    }
    if (!attach(client)) return false;
    watch_->reopened();
    return true;
}

int JackOutputStream::process(std::uint32_t frames, void* self) {
    auto* s = static_cast<JackOutputStream*>(self);
    jack_nframes_t cycleFrames = 0;
    jack_time_t cycleUs = 0;
    jack_time_t nextUs = 0;
    float periodUs = 0;
    std::int64_t heardUs = SteadyUs();
    // What a client writes in a cycle is heard the playback latency after the cycle's start.
    if (jack_get_cycle_times(s->client_, &cycleFrames, &cycleUs, &nextUs, &periodUs) == 0) {
        heardUs = static_cast<std::int64_t>(cycleUs) + s->jackToSteadyUs_;
    }
    heardUs += s->playbackLatencyUs_.load(std::memory_order_relaxed);
    const std::size_t channels = s->ports_.size();
    float* buffers[2] = {};
    for (std::size_t c = 0; c < channels; ++c) {
        buffers[c] = static_cast<float*>(jack_port_get_buffer(s->ports_[c], frames));
    }
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t n = std::min(frames - done, kBlockFrames);
        s->watch_->renderFromCallback(s->interleaved_.data(), n, heardUs);
        for (std::uint32_t i = 0; i < n; ++i) {
            for (std::size_t c = 0; c < channels; ++c) {
                buffers[c][done + i] = s->interleaved_[i * channels + c];
            }
        }
        heardUs += static_cast<std::int64_t>(n) * 1000000 / s->format_.sampleRate;
        done += n;
    }
    return 0;
}

void JackOutputStream::shutdown(jack_status_t, const char*, void* self) {
    static_cast<JackOutputStream*>(self)->watch_->deviceGone();
}

}  // namespace pelvano::platform
