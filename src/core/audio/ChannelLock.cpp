#include "core/audio/ChannelLock.h"

#include <chrono>

namespace pelvano::core {

namespace {

std::recursive_timed_mutex& channelLock() {
    static std::recursive_timed_mutex lock;
    return lock;
}

constexpr auto kLockTimeout = std::chrono::milliseconds(250);

}  // namespace

ChannelLockGuard::ChannelLockGuard() : locked_(channelLock().try_lock_for(kLockTimeout)) {}

ChannelLockGuard::~ChannelLockGuard() {
    if (locked_) channelLock().unlock();
}

}  // namespace pelvano::core
