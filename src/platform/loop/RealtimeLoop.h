#pragma once
// The UI thread of a station without windows: timers on the real clock and the event queue of
// the channels, run by one loop that sleeps until the next timer is due or an event is posted.
// Like a window system's loop it catches what a handler throws: a silent abort is dropped,
// every other error is handed to the error reporter and the loop carries on.
// post() from any thread; everything else on the loop's thread.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "core/ports/Clock.h"
#include "core/ports/EventPump.h"
#include "core/ports/EventQueue.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/VirtualTimers.h"

namespace pelvano::platform {

class RealtimeLoop final : public core::EventQueue, public core::EventPump {
public:
    using ErrorReporter = std::function<void(const std::string&)>;

    RealtimeLoop(const core::Clock& clock, ErrorReporter onError);

    core::TimerService& timers() { return timers_; }
    void post(std::function<void()> handler) override;
    // Fires the due timers and runs the posted events, without waiting.
    void processPendingEvents() override;
    // Runs until stop is set (checked at least every 50 ms).
    void run(const std::atomic<bool>& stop);

private:
    void reportNewErrors();

    const core::Clock& clock_;
    ErrorReporter onError_;
    ManualEventQueue queue_;
    VirtualTimers timers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool posted_ = false;
};

}  // namespace pelvano::platform
