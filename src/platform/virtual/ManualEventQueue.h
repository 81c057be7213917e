#pragma once
// An EventQueue that whoever plays the UI thread drains explicitly (a test, a simulation).
// post() from any thread; drain() on the one "UI" thread, running handlers in posting order,
// including those posted while draining. Like the UI loop, drain() catches what a handler
// throws: a SilentAbort is counted and dropped, any other error is kept with its text.
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/ports/EventQueue.h"

namespace pelvano::platform {

class ManualEventQueue final : public core::EventQueue {
  public:
    void post(std::function<void()> handler) override;
    // Runs handlers until the queue is empty; returns how many ran.
    std::size_t drain();
    std::size_t pending() const;
    // Runs one handler the way the UI loop does: what it throws is counted or kept, not passed on.
    void runGuarded(const std::function<void()>& handler);

    const std::vector<std::string>& errors() const { return errors_; }
    int silentAborts() const { return silentAborts_; }

  private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::string> errors_;
    int silentAborts_ = 0;
};

}  // namespace pelvano::platform
