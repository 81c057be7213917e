#pragma once
// How long the UI thread went without turning its event loop. A timer of the UI thread that
// is due every kIntervalMs measures how late each firing comes: whatever held the loop (a
// handler waiting on a disk, a lock, a slow window) shows as lateness, on the Qt loop and on
// the headless one alike. A stall shows as that lateness, which is up to kIntervalMs less than
// the time the loop stood still. The longest stall of each day is reported once, when the day is
// over or the watch stops, if it exceeds kReportMs. UI thread.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/ports/Clock.h"
#include "core/ports/TimerService.h"

namespace pelvano::core {

class UiStallWatch {
  public:
    static constexpr std::uint32_t kIntervalMs = 50;
    static constexpr std::int64_t kReportMs = 100;
    using Report = std::function<void(std::int64_t longestMs)>;

    UiStallWatch(const Clock& clock, TimerService& timers, Report report);
    ~UiStallWatch();
    UiStallWatch(const UiStallWatch&) = delete;
    UiStallWatch& operator=(const UiStallWatch&) = delete;

    void start();
    // Reports the day so far (when above kReportMs) and stops.
    void stop();
    // The longest stall of the current day, and since the watch was made, in milliseconds.
    std::int64_t longestTodayMs() const { return longestToday_; }
    std::int64_t longestMs() const { return longest_; }

  private:
    void tick();
    void reportDay();

    const Clock& clock_;
    std::unique_ptr<Timer> timer_;
    Report report_;
    std::int64_t lastUs_ = 0;
    std::int64_t day_ = 0;
    std::int64_t longestToday_ = 0;
    std::int64_t longest_ = 0;
};

}  // namespace pelvano::core
