#pragma once
// Waits about a number of milliseconds on the UI thread while the interface stays alive: the
// event pump keeps processing timers, painting and input until the delay's own timer ticks.
// Handlers may run (and re-enter) during the wait. UI thread only.
#include <cstdint>
#include <memory>

#include "core/ports/EventPump.h"
#include "core/ports/TimerService.h"

namespace pelvano::core {

class TMyDelay {
  public:
    TMyDelay(TimerService& timers, EventPump& pump);
    TMyDelay(const TMyDelay&) = delete;
    TMyDelay& operator=(const TMyDelay&) = delete;

    void Delay(std::uint32_t ms);
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t ms);

  private:
    std::unique_ptr<Timer> timer_;
    EventPump& pump_;
    bool fired_ = false;
};

}  // namespace pelvano::core
