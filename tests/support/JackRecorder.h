#pragma once
// Test support for a real sound server: a jackd with its dummy driver started on its own server
// name (no hardware, no session bus), and a JACK client that records other clients' output
// ports with JACK's own frame times mapped to the steady clock the station ticks by.
//
// Threading: construct, connect and read on the test's thread; JACK's process thread writes
// the recording into memory reserved up front (no allocation, no locks there).

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "support/HeardRecording.h"
#include "support/ServerProcess.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace pelvano::test {

// jackd -d dummy, started in the constructor, stopped (by its PID) in the destructor. The
// environment's JACK_DEFAULT_SERVER names it for every client of this process.
class JackServer {
  public:
    // realtime: the server and its clients' process threads run SCHED_FIFO, as on a station
    // (needs the right to; without it jackd falls back to normal scheduling).
    JackServer(std::uint32_t rate, std::uint32_t period, bool realtime = false);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;
    bool running() const { return process_.running(); }
    // Stops the server (a server going away under a playing station).
    void stop();
    // Stalls the server (SIGSTOP) and lets it run again (SIGCONT).
    void pause();
    void resume();
    const std::string& name() const { return name_; }

  private:
    bool start();
    std::string name_;
    std::uint32_t rate_;
    std::uint32_t period_;
    bool realtime_;
    ServerProcess process_;
};

class JackRecorder final : public HeardRecording {
  public:
    // Reserves seconds of stereo recording.
    explicit JackRecorder(double seconds);
    ~JackRecorder() override;
    JackRecorder(const JackRecorder&) = delete;
    JackRecorder& operator=(const JackRecorder&) = delete;

    bool ok() const { return client_ != nullptr; }
    std::uint32_t rate() const { return rate_; }
    // Connects every output port of clients whose name starts with prefix; the number connected.
    int recordClient(const std::string& prefix);
    // Frames recorded so far (left channel of the first connected port).
    std::size_t frames() const override { return written_.load(std::memory_order_acquire); }
    float sample(std::size_t frame) const override { return samples_[frame]; }
    // Steady-clock microseconds at which a recorded frame is heard at the server's playback
    // ports (its cycle's start plus their playback latency); cycles lost to xruns leave gaps.
    std::int64_t heardUsOf(std::size_t frame) const override;
    int xruns() const { return xruns_.load(std::memory_order_relaxed); }

  private:
    static int process(std::uint32_t frames, void* self);
    static int xrun(void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* input_ = nullptr;
    std::uint32_t rate_ = 0;
    std::int64_t jackToSteadyUs_ = 0;  // steady = jack time + this
    std::int64_t playbackLatencyUs_ = 0;
    struct Cycle {
        std::size_t firstFrame;
        std::int64_t heardUs;
    };
    std::vector<float> samples_;
    std::vector<Cycle> cycles_;
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> cycleCount_{0};
    std::atomic<int> xruns_{0};
};

}  // namespace pelvano::test
