#pragma once
// The one lock of every mixer channel: recursive (Play refills, Update stops while holding it),
// shared by all channels of the process, taken with a 250 ms time-out. An operation that cannot
// take it in time is skipped.

namespace pelvano::core {

class ChannelLockGuard {
  public:
    ChannelLockGuard();
    ~ChannelLockGuard();
    ChannelLockGuard(const ChannelLockGuard&) = delete;
    ChannelLockGuard& operator=(const ChannelLockGuard&) = delete;
    bool locked() const { return locked_; }

  private:
    bool locked_;
};

}  // namespace pelvano::core
