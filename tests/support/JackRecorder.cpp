#include "support/JackRecorder.h"

#include <jack/jack.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace pelvano::test {

namespace {

jack_client_t* OpenClient(const char* name) {
    jack_status_t status{};
    return jack_client_open(name, JackNoStartServer, &status);
}

}  // namespace

JackServer::JackServer(std::uint32_t rate, std::uint32_t period, bool realtime)
    : name_("pelvano-test-" + std::to_string(getpid())),
      rate_(rate),
      period_(period),
      realtime_(realtime) {
    // Every JACK client of this process (PortAudio's too) talks to this server, and none
    // starts one of its own.
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    if (!start()) stop();
}

JackServer::~JackServer() {
    stop();
}

bool JackServer::start() {
    // No session bus on a build machine: no device reservation.
    return process_.start(
        {"jackd", realtime_ ? "--realtime" : "--no-realtime", "-n", name_, "-d", "dummy", "-r",
         std::to_string(rate_), "-p", std::to_string(period_)},
        {{"JACK_NO_AUDIO_RESERVATION", "1"}},
        [] {
            jack_client_t* probe = OpenClient("pelvano-probe");
            if (probe != nullptr) jack_client_close(probe);
            return probe != nullptr;
        },
        100, std::chrono::milliseconds(100));
}

void JackServer::stop() {
    process_.stop();
}

void JackServer::pause() {
    process_.pause();
}

void JackServer::resume() {
    process_.resume();
}

JackRecorder::JackRecorder(double seconds) {
    client_ = OpenClient("pelvano-recorder");
    if (client_ == nullptr) return;
    rate_ = jack_get_sample_rate(client_);
    samples_.assign(static_cast<std::size_t>(seconds * rate_), 0.0f);
    cycles_.resize(samples_.size() / 16 + 1);
    input_ = jack_port_register(client_, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, &JackRecorder::process, this);
    jack_set_xrun_callback(client_, &JackRecorder::xrun, this);
    jackToSteadyUs_ = SteadyNowUs() - static_cast<std::int64_t>(jack_get_time());
    // What a client writes in a cycle is heard the playback latency after the cycle's start.
    if (jack_port_t* playback = jack_port_by_name(client_, "system:playback_1")) {
        jack_latency_range_t range{};
        jack_port_get_latency_range(playback, JackPlaybackLatency, &range);
        playbackLatencyUs_ = static_cast<std::int64_t>(range.max) * 1000000 / rate_;
    }
    if (input_ == nullptr || jack_activate(client_) != 0) {
        jack_client_close(client_);
        client_ = nullptr;
    }
}

JackRecorder::~JackRecorder() {
    if (client_ != nullptr) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
}

int JackRecorder::recordClient(const std::string& prefix) {
    if (client_ == nullptr) return 0;
    const char** ports =
        jack_get_ports(client_, ("^" + prefix).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (ports == nullptr) return 0;
    // The left channel is enough to find each onset.
    const int connected = jack_connect(client_, ports[0], jack_port_name(input_)) == 0 ? 1 : 0;
    jack_free(ports);
    return connected;
}

int JackRecorder::process(std::uint32_t frames, void* self) {
    auto* r = static_cast<JackRecorder*>(self);
    jack_nframes_t cycleFrames = 0;
    jack_time_t cycleUs = 0;
    jack_time_t nextUs = 0;
    float periodUs = 0;
    if (jack_get_cycle_times(r->client_, &cycleFrames, &cycleUs, &nextUs, &periodUs) != 0) return 0;
    const std::size_t at = r->written_.load(std::memory_order_relaxed);
    const std::size_t cycle = r->cycleCount_.load(std::memory_order_relaxed);
    if (cycle == r->cycles_.size() || at == r->samples_.size()) return 0;
    r->cycles_[cycle] = {
        at, static_cast<std::int64_t>(cycleUs) + r->jackToSteadyUs_ + r->playbackLatencyUs_};
    const auto* in = static_cast<const float*>(jack_port_get_buffer(r->input_, frames));
    const std::size_t n = std::min<std::size_t>(frames, r->samples_.size() - at);
    for (std::size_t i = 0; i < n; ++i) r->samples_[at + i] = in[i];
    r->written_.store(at + n, std::memory_order_release);
    r->cycleCount_.store(cycle + 1, std::memory_order_release);
    return 0;
}

std::int64_t JackRecorder::heardUsOf(std::size_t frame) const {
    const std::size_t count = cycleCount_.load(std::memory_order_acquire);
    const auto end = cycles_.begin() + static_cast<std::ptrdiff_t>(count);
    auto it = std::upper_bound(cycles_.begin(), end, frame,
                               [](std::size_t f, const Cycle& c) { return f < c.firstFrame; });
    if (it == cycles_.begin()) return 0;
    --it;
    return it->heardUs + static_cast<std::int64_t>(frame - it->firstFrame) * 1000000 / rate_;
}

int JackRecorder::xrun(void* self) {
    static_cast<JackRecorder*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

}  // namespace pelvano::test
