#pragma once
// Test support for a desktop sound server: a pulseaudio of the test's own (no user or system
// daemon, no session bus) with a null sink, in a folder of its own, and a recording of that
// sink's monitor by parec with each frame's time of playing on the steady clock.
//
// Threading: construct and read on the test's thread; the recorder's thread only appends to
// memory reserved up front.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/HeardRecording.h"
#include "support/ServerProcess.h"

namespace pelvano::test {

// pulseaudio -n with a null sink and a native socket in `folder`, started in the constructor and
// stopped (by its PID) in the destructor; another one on the same folder takes the same socket
// (a server restarted). The environment's PULSE_SERVER names it for every client of this
// process (ALSA's `pulse` device, parec, pactl).
class PulseServer {
  public:
    static constexpr const char* kSink = "pelvano_test";
    explicit PulseServer(const std::string& folder);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;
    bool running() const { return process_.running(); }
    void stop();
    // The null sink's configured latency as the server reports it: how long before its playing
    // the monitor is given a block. 0 when unknown.
    std::int64_t sinkLatencyUs() const;

  private:
    ServerProcess process_;
};

class MonitorRecorder final : public HeardRecording {
  public:
    // Records up to `seconds` of the null sink's monitor, mono, at `rate`.
    MonitorRecorder(double seconds, std::uint32_t rate);
    ~MonitorRecorder() override;
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // True once the first block arrived.
    bool waitForFirstBlock() const;
    std::size_t frames() const override { return written_.load(std::memory_order_acquire); }
    float sample(std::size_t frame) const override { return samples_[frame]; }
    // Steady-clock microseconds at which a recorded frame is played by the sink: the monitor's
    // frames follow the sink's clock (the steady one) without gaps, so each frame's time is
    // the earliest arrival found for its block, counted back by frames, plus the sink's latency.
    // Set sinkLatencyUs first.
    std::int64_t heardUsOf(std::size_t frame) const override;
    void setSinkLatencyUs(std::int64_t us) { sinkLatencyUs_ = us; }

  private:
    void read();

    std::uint32_t rate_;
    ServerProcess parec_;
    int fd_ = -1;
    std::vector<float> samples_;
    std::atomic<std::size_t> written_{0};
    // The smallest (arrival - frames before it) seen: frame 0's time of being mixed.
    std::atomic<std::int64_t> firstFrameUs_{INT64_MAX};
    std::int64_t sinkLatencyUs_ = 0;
    std::thread reader_;
};

}  // namespace pelvano::test
