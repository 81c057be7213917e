#include "platform/virtual/ManualEventQueue.h"

#include <exception>
#include <utility>

#include "core/app/SilentAbort.h"

namespace pelvano::platform {

void ManualEventQueue::post(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(handler));
}

std::size_t ManualEventQueue::drain() {
    std::size_t ran = 0;
    for (;;) {
        std::function<void()> handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty()) return ran;
            handler = std::move(queue_.front());
            queue_.pop_front();
        }
        ++ran;
        runGuarded(handler);
    }
}

void ManualEventQueue::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const core::SilentAbort&) {
        ++silentAborts_;
    } catch (const std::exception& e) {
        keepError(e.what());
    } catch (...) {
        keepError("Unknown error");
    }
}

void ManualEventQueue::keepError(std::string text) {
    ++errorCount_;
    if (errors_.size() < kKeptErrors) errors_.push_back(std::move(text));
}

std::size_t ManualEventQueue::pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

}  // namespace pelvano::platform
