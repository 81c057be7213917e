#pragma once
// An EventQueue that whoever plays the UI thread drains explicitly (a test, a simulation).
// post() from any thread; drain() on the one "UI" thread, running handlers in posting order,
// including those posted while draining. Like the UI loop, drain() catches what a handler
// throws: a SilentAbort is counted and dropped, any other error is counted and its text kept
// (the first kKeptErrors texts not yet taken: a station that fails all day holds no growing list).
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
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

    static constexpr std::size_t kKeptErrors = 100;

    const std::vector<std::string>& errors() const { return errors_; }
    // Every error caught, including those whose text was not kept.
    std::size_t errorCount() const { return errorCount_; }
    // Hands the kept texts over and forgets them.
    std::vector<std::string> takeErrors() { return std::exchange(errors_, {}); }
    int silentAborts() const { return silentAborts_; }

  private:
    void keepError(std::string text);

    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::string> errors_;
    std::size_t errorCount_ = 0;
    int silentAborts_ = 0;
};

}  // namespace pelvano::platform
