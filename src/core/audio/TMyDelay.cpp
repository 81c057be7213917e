#include "core/audio/TMyDelay.h"

namespace pelvano::core {

TMyDelay::TMyDelay(TimerService& timers, EventPump& pump)
    : timer_(timers.createTimer()), pump_(pump) {
    timer_->setEnabled(false);
}

void TMyDelay::Delay(std::uint32_t ms) {
    if (ms != timer_->interval()) timer_->setInterval(ms);
    fired_ = false;
    timer_->setOnTimer([this] { fired_ = true; });
    timer_->setEnabled(true);
    do {
        pump_.processPendingEvents();
    } while (!fired_);
    timer_->setEnabled(false);
}

std::uint32_t TMyDelay::Interval() const {
    return timer_ ? timer_->interval() : 0;
}

void TMyDelay::SetInterval(std::uint32_t ms) {
    timer_->setInterval(ms);
}

}  // namespace pelvano::core
