#pragma once
// Keeps a station on time through a device that stops: a thread of its own notices when the
// device says it is gone (a sound server that shut down) or its callbacks have not run for 2 s
// (a stalled server or machine; a stream opened less than 4 s ago gets until then), reports
// the loss once, pulls the renderer by the real clock meanwhile (so that the schedule, fades and
// ends go on), asks the device to re-open twice a second, and reports the restore once the
// device plays again, re-opened or with its callbacks resumed after a stall.
//
// Threading: construct, start and destroy on the device's owner thread; renderFromCallback on
// the audio callback (no locks, no allocation, never waits); deviceGone from any thread (no
// locks); reopen runs on the watch's thread. Exactly one of the callback and the watch renders
// at a time: each takes a flag with test-and-set and skips the block (silence) when it is taken.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ports/SoundOutput.h"

namespace pelvano::platform {

class DeviceWatch {
  public:
    // reopen(gone) runs on the watch's thread while the device is lost; gone tells whether the
    // device said it went away (a stall may still end by itself). True once it plays again.
    using Reopen = std::function<bool(bool gone)>;
    DeviceWatch(core::AudioRenderer& renderer, const core::OutputFormat& format, Reopen reopen);
    ~DeviceWatch();
    DeviceWatch(const DeviceWatch&) = delete;
    DeviceWatch& operator=(const DeviceWatch&) = delete;

    // Starts watching; the device's callbacks are expected from now on.
    void start();
    // Stops watching, waiting for a re-open under way; the callbacks may still render.
    void stop();
    // Fills the block from the renderer, or with silence while the device counts as lost.
    void renderFromCallback(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept;
    void deviceGone() noexcept;
    // The device's callbacks run again after a re-open (stamps the time the stall is measured
    // from, clears the gone mark). Watch's thread, from reopen.
    void reopened() noexcept;

  private:
    void watch();
    // Pulls the renderer by the clock until the device plays again; false when stopping.
    bool recover(std::unique_lock<std::mutex>& lock);
    void renderByClock(double& owed, std::chrono::steady_clock::time_point& last);
    bool callbacksRanWithin(std::chrono::microseconds span) const noexcept;
    // Within the grace a freshly opened stream gets before a pause in its callbacks is a stall.
    bool fresh() const noexcept;

    core::AudioRenderer& renderer_;
    const core::OutputFormat format_;
    Reopen reopen_;
    std::atomic<std::int64_t> lastCallbackUs_{0};
    std::atomic<std::int64_t> freshUntilUs_{0};
    std::atomic<bool> gone_{false};
    std::atomic<bool> lost_{false};
    std::atomic_flag rendering_ = ATOMIC_FLAG_INIT;
    std::vector<float> block_;  // the watch's own render block
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace pelvano::platform
