#pragma once
// The core's UI-thread ports on Qt: posted events by queued invocation, timers on precise
// QTimers, "process pending events" by QCoreApplication. Every handler runs guarded by the UI
// loop's error handling, so a throwing handler never stops the next tick or event.
// QtEventQueue::post from any thread; everything else on the UI thread.
#include <QObject>
#include <QPointer>

#include "core/ports/EventPump.h"
#include "core/ports/EventQueue.h"
#include "core/ports/TimerService.h"

namespace pelvano::gui {

class UiErrors;

class QtEventQueue final : public core::EventQueue {
  public:
    // Create on the UI thread: the handlers run on the thread that created the queue.
    explicit QtEventQueue(UiErrors& errors);
    ~QtEventQueue() override;
    // Events still queued when the queue is destroyed are dropped.
    void post(std::function<void()> handler) override;

  private:
    UiErrors& errors_;
    QObject* target_;
};

class QtTimerService final : public core::TimerService {
  public:
    explicit QtTimerService(UiErrors& errors) : errors_(errors) {}
    std::unique_ptr<core::Timer> createTimer() override;

  private:
    UiErrors& errors_;
};

class QtEventPump final : public core::EventPump {
  public:
    void processPendingEvents() override;
};

}  // namespace pelvano::gui
