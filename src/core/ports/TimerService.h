#pragma once
// Repeating timers of the UI thread: "every Interval ms call the handler" while enabled.
// The real adapter is a Qt timer; a simulation fires virtual ones as its clock advances.
// UI thread only; handlers run on the UI thread.
#include <cstdint>
#include <functional>
#include <memory>

namespace pelvano::core {

class Timer {
  public:
    virtual ~Timer() = default;
    // Changing the interval or enabling restarts the count from now.
    virtual void setInterval(std::uint32_t ms) = 0;
    virtual std::uint32_t interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void setOnTimer(std::function<void()> handler) = 0;
};

class TimerService {
  public:
    virtual ~TimerService() = default;
    // A new timer, disabled, interval 1000 ms.
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

}  // namespace pelvano::core
