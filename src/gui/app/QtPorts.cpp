#include "gui/app/QtPorts.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include "gui/app/UiErrors.h"

namespace pelvano::gui {

QtEventQueue::QtEventQueue(UiErrors& errors) : errors_(errors), target_(new QObject) {}

QtEventQueue::~QtEventQueue() {
    delete target_;
}

void QtEventQueue::post(std::function<void()> handler) {
    // Queued invocations on one receiver run in posting order, whatever thread posted them.
    QMetaObject::invokeMethod(
        target_, [this, h = std::move(handler)] { errors_.runGuarded(h); }, Qt::QueuedConnection);
}

namespace {

class QtTimer final : public core::Timer {
  public:
    explicit QtTimer(UiErrors& errors) {
        // Precise: the 100 ms scheduler tick keeps its phase instead of drifting by rounding.
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1000);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, &errors] {
            if (handler_) {
                // A copy: the handler may replace itself or switch its timer off.
                const std::function<void()> handler = handler_;
                errors.runGuarded(handler);
            }
        });
    }
    void setInterval(std::uint32_t ms) override {
        timer_.setInterval(static_cast<int>(ms));  // restarts an active timer from now
    }
    std::uint32_t interval() const override {
        return static_cast<std::uint32_t>(timer_.interval());
    }
    void setEnabled(bool enabled) override {
        if (enabled == timer_.isActive()) return;
        if (enabled) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }
    bool enabled() const override { return timer_.isActive(); }
    void setOnTimer(std::function<void()> handler) override { handler_ = std::move(handler); }

  private:
    QTimer timer_;
    std::function<void()> handler_;
};

}  // namespace

std::unique_ptr<core::Timer> QtTimerService::createTimer() {
    return std::make_unique<QtTimer>(errors_);
}

void QtEventPump::processPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace pelvano::gui
