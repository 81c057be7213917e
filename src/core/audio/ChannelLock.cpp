#include "core/audio/ChannelLock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pelvano::core {

namespace {

constexpr auto kLockTimeout = std::chrono::milliseconds(250);

// A recursive lock with a time-out, built on a mutex and a condition variable: the timed
// system mutexes are not seen by the thread sanitizer, which then reports every unlock.
class RecursiveTimedLock {
  public:
    bool lockWithin(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> guard(mutex_);
        const auto me = std::this_thread::get_id();
        if (depth_ > 0 && owner_ == me) {
            ++depth_;
            return true;
        }
        if (!freed_.wait_for(guard, timeout, [this] { return depth_ == 0; })) return false;
        owner_ = me;
        depth_ = 1;
        return true;
    }

    void unlock() {
        std::unique_lock<std::mutex> guard(mutex_);
        if (--depth_ > 0) return;
        owner_ = std::thread::id();
        guard.unlock();
        freed_.notify_one();
    }

  private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::thread::id owner_;
    int depth_ = 0;
};

RecursiveTimedLock& channelLock() {
    static RecursiveTimedLock lock;
    return lock;
}

}  // namespace

ChannelLockGuard::ChannelLockGuard() : locked_(channelLock().lockWithin(kLockTimeout)) {}

ChannelLockGuard::~ChannelLockGuard() {
    if (locked_) channelLock().unlock();
}

}  // namespace pelvano::core
