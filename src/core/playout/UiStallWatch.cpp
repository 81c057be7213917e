#include "core/playout/UiStallWatch.h"

#include <algorithm>
#include <utility>

namespace pelvano::core {

UiStallWatch::UiStallWatch(const Clock& clock, TimerService& timers, Report report)
    : clock_(clock), timer_(timers.createTimer()), report_(std::move(report)) {
    timer_->setInterval(kIntervalMs);
    timer_->setOnTimer([this] { tick(); });
}

UiStallWatch::~UiStallWatch() {
    timer_->setEnabled(false);
}

void UiStallWatch::start() {
    lastUs_ = clock_.tickUs();
    day_ = clock_.now().dayNumber();
    timer_->setEnabled(true);
}

void UiStallWatch::stop() {
    if (!timer_->enabled()) return;
    timer_->setEnabled(false);
    reportDay();
}

void UiStallWatch::tick() {
    const std::int64_t nowUs = clock_.tickUs();
    const std::int64_t stallMs = (nowUs - lastUs_) / 1000 - kIntervalMs;
    lastUs_ = nowUs;
    // The stall belongs to the day it ended in.
    if (const std::int64_t today = clock_.now().dayNumber(); today != day_) {
        reportDay();
        day_ = today;
    }
    longestToday_ = std::max(longestToday_, stallMs);
    longest_ = std::max(longest_, stallMs);
}

void UiStallWatch::reportDay() {
    if (longestToday_ > kReportMs && report_) report_(longestToday_);
    longestToday_ = 0;
}

}  // namespace pelvano::core
