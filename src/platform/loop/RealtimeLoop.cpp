#include "platform/loop/RealtimeLoop.h"

#include <algorithm>
#include <chrono>

namespace pelvano::platform {

RealtimeLoop::RealtimeLoop(const core::Clock& clock, ErrorReporter onError)
    : clock_(clock),
      onError_(std::move(onError)),
      timers_(clock, [this](const std::function<void()>& handler) { queue_.runGuarded(handler); }) {}

void RealtimeLoop::post(std::function<void()> handler) {
    queue_.post(std::move(handler));
    {
        std::lock_guard lock(mutex_);
        posted_ = true;
    }
    wake_.notify_one();
}

void RealtimeLoop::reportNewErrors() {
    for (const std::string& error : queue_.takeErrors()) {
        if (onError_) onError_(error);
    }
}

void RealtimeLoop::processPendingEvents() {
    timers_.fireDue(clock_.tickMs());
    queue_.drain();
    reportNewErrors();
}

void RealtimeLoop::run(const std::atomic<bool>& stop) {
    constexpr std::uint64_t kLongestSleepMs = 50;
    while (!stop.load()) {
        processPendingEvents();
        const std::uint64_t now = clock_.tickMs();
        std::uint64_t sleep = kLongestSleepMs;
        if (const auto due = timers_.nextDue()) sleep = *due > now ? std::min(sleep, *due - now) : 0;
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(sleep), [this] { return posted_; });
        posted_ = false;
    }
}

}  // namespace pelvano::platform
