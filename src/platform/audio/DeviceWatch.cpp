#include "platform/audio/DeviceWatch.h"

#include <algorithm>

#include "platform/clock/SystemClock.h"

namespace pelvano::platform {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr auto kWatchPeriod = milliseconds(100);
// A device whose callbacks have not run for this long counts as lost.
constexpr auto kStallLimit = milliseconds(2000);
// A stream just opened may wait this long for its steady callbacks: ALSA's plug-in for a sound
// server that has just come back takes one to two seconds after its first fill.
constexpr auto kFreshStreamGrace = milliseconds(4000);
// While lost: how often the renderer is pulled, and how often a re-open is tried.
constexpr auto kPacePeriod = milliseconds(10);
constexpr auto kReopenPeriod = milliseconds(500);
// Callbacks this recent after a stall mean it ended.
constexpr auto kResumedWithin = milliseconds(100);
constexpr std::uint32_t kPaceBlockFrames = 4096;

}  // namespace

DeviceWatch::DeviceWatch(core::AudioRenderer& renderer, const core::OutputFormat& format,
                         Reopen reopen)
    : renderer_(renderer),
      format_(format),
      reopen_(std::move(reopen)),
      block_(static_cast<std::size_t>(kPaceBlockFrames) * format.channels) {}

DeviceWatch::~DeviceWatch() {
    stop();
}

void DeviceWatch::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void DeviceWatch::start() {
    lastCallbackUs_.store(SteadyUs(), std::memory_order_relaxed);
    freshUntilUs_.store(SteadyUs() + microseconds(kFreshStreamGrace).count(),
                        std::memory_order_relaxed);
    thread_ = std::thread([this] { watch(); });
}

void DeviceWatch::renderFromCallback(float* out, std::uint32_t frames,
                                     std::int64_t heardAtUs) noexcept {
    lastCallbackUs_.store(SteadyUs(), std::memory_order_relaxed);
    if (lost_.load(std::memory_order_acquire) ||
        rendering_.test_and_set(std::memory_order_acquire)) {
        std::fill_n(out, static_cast<std::size_t>(frames) * format_.channels, 0.0f);
        return;
    }
    renderer_.render(out, frames, heardAtUs);
    rendering_.clear(std::memory_order_release);
}

void DeviceWatch::deviceGone() noexcept {
    gone_.store(true, std::memory_order_release);
    // Wakes the watch at once: what a gone device holds is best released before its server
    // returns.
    wake_.notify_one();
}

void DeviceWatch::reopened() noexcept {
    lastCallbackUs_.store(SteadyUs(), std::memory_order_relaxed);
    freshUntilUs_.store(SteadyUs() + microseconds(kFreshStreamGrace).count(),
                        std::memory_order_relaxed);
    gone_.store(false, std::memory_order_release);
}

bool DeviceWatch::fresh() const noexcept {
    return SteadyUs() < freshUntilUs_.load(std::memory_order_relaxed);
}

bool DeviceWatch::callbacksRanWithin(microseconds span) const noexcept {
    return SteadyUs() - lastCallbackUs_.load(std::memory_order_relaxed) < span.count();
}

void DeviceWatch::watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait_for(lock, kWatchPeriod,
                       [this] { return stopping_ || gone_.load(std::memory_order_acquire); });
        if (stopping_) return;
        const bool gone = gone_.load(std::memory_order_acquire);
        if (!gone && (callbacksRanWithin(kStallLimit) || fresh())) continue;
        lost_.store(true, std::memory_order_release);
        renderer_.deviceLost(gone ? "the sound server went away"
                                  : "the sound device stopped responding");
        if (!recover(lock)) return;
        lost_.store(false, std::memory_order_release);
        renderer_.deviceRestored();
    }
}

bool DeviceWatch::recover(std::unique_lock<std::mutex>& lock) {
    auto last = steady_clock::now();
    auto nextReopen = last;
    double owed = 0.0;
    while (!wake_.wait_for(lock, kPacePeriod, [this] { return stopping_; })) {
        renderByClock(owed, last);
        const bool gone = gone_.load(std::memory_order_acquire);
        if (!gone && callbacksRanWithin(kResumedWithin)) return true;  // a stall that ended
        if (steady_clock::now() < nextReopen) continue;
        // A re-open may take a while: the owner may stop the watch meanwhile.
        lock.unlock();
        const bool playing = reopen_(gone);
        lock.lock();
        nextReopen = steady_clock::now() + kReopenPeriod;
        if (playing) return !stopping_;
    }
    return false;
}

void DeviceWatch::renderByClock(double& owed, steady_clock::time_point& last) {
    const auto now = steady_clock::now();
    owed += std::chrono::duration<double>(now - last).count() * format_.sampleRate;
    last = now;
    auto frames = static_cast<std::uint32_t>(owed);
    owed -= frames;
    if (rendering_.test_and_set(std::memory_order_acquire)) return;
    std::int64_t heardUs = SteadyUs();
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, kPaceBlockFrames);
        renderer_.render(block_.data(), n, heardUs);
        heardUs += static_cast<std::int64_t>(n) * 1000000 / format_.sampleRate;
        frames -= n;
    }
    rendering_.clear(std::memory_order_release);
}

}  // namespace pelvano::platform
