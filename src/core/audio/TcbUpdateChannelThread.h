#pragma once
// The refill worker of one channel. While Active it runs the channel's update pass every
// Interval ms; while inactive it sleeps on its wake event and costs nothing.
//
// Two ways to run: on its own thread (production), or stepped, where a SteppedRefills owned by
// a simulation runs the due passes on the simulation's thread, so that a day plays
// deterministically in virtual time.
//
// Threading: setActive/Active/Interval from any thread; the pass runs on the worker thread (or
// the simulation's thread) and takes the channel lock itself.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/ports/Clock.h"

namespace pelvano::core {

class SteppedRefills;

class TcbUpdateChannelThread {
  public:
    TcbUpdateChannelThread(std::function<void()> pass, const Clock& clock, SteppedRefills* stepped);
    ~TcbUpdateChannelThread();
    TcbUpdateChannelThread(const TcbUpdateChannelThread&) = delete;
    TcbUpdateChannelThread& operator=(const TcbUpdateChannelThread&) = delete;

    // Becoming active signals the wake event; the first pass follows one Interval later.
    void setActive(bool active);
    // Deactivates and returns once no pass is running; no pass starts until setActive(true).
    // What the pass works on may then be freed, whatever the channel lock's time-out allowed.
    // Never from within a pass.
    void deactivateAndWait();
    bool Active() const { return active_.load(std::memory_order_acquire); }
    std::uint32_t Interval() const { return interval_.load(std::memory_order_relaxed); }
    void setInterval(std::uint32_t ms) { interval_.store(ms, std::memory_order_relaxed); }

  private:
    friend class SteppedRefills;
    void threadLoop();

    std::function<void()> pass_;
    const Clock& clock_;
    SteppedRefills* stepped_;
    std::atomic<bool> active_{false};
    std::atomic<std::uint32_t> interval_{40};
    // Wake event (auto-reset) of the thread.
    std::mutex wakeMutex_;
    std::condition_variable wakeSignal_;
    bool wakeSignalled_ = false;
    bool terminated_ = false;
    // Held by the worker thread for each pass.
    std::mutex passMutex_;
    std::thread thread_;
    // Stepped mode: when the next pass is due.
    std::uint64_t nextDueMs_ = 0;
};

// The refill passes of a simulation. Simulation thread only.
class SteppedRefills {
  public:
    // The earliest pass due among the active workers.
    std::optional<std::uint64_t> nextDue() const;
    // Runs every pass due at or before nowMs, earliest first (ties in creation order); a pass
    // that falls due again within nowMs runs again.
    void runDue(std::uint64_t nowMs);

  private:
    friend class TcbUpdateChannelThread;
    void attach(TcbUpdateChannelThread& worker);
    void detach(TcbUpdateChannelThread& worker);
    std::vector<TcbUpdateChannelThread*> workers_;
};

}  // namespace pelvano::core
