#include "platform/virtual/VirtualTimers.h"

#include <algorithm>
#include <utility>

namespace pelvano::platform {

class VirtualTimers::VirtualTimer final : public core::Timer {
  public:
    explicit VirtualTimer(VirtualTimers& owner) : owner_(&owner) { owner.timers_.push_back(this); }
    ~VirtualTimer() override {
        if (owner_ == nullptr) return;
        auto& list = owner_->timers_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }

    void setInterval(std::uint32_t ms) override {
        interval_ = ms;
        restart();
    }
    std::uint32_t interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        restart();
    }
    bool enabled() const override { return enabled_; }
    void setOnTimer(std::function<void()> handler) override { handler_ = std::move(handler); }

    std::uint64_t period() const { return std::max<std::uint32_t>(1, interval_); }
    void restart() {
        if (owner_ != nullptr) due_ = owner_->clock_.tickMs() + period();
    }

    VirtualTimers* owner_;
    std::uint32_t interval_ = 1000;
    bool enabled_ = false;
    std::uint64_t due_ = 0;
    std::function<void()> handler_;
};

VirtualTimers::VirtualTimers(const core::Clock& clock, HandlerRunner run)
    : clock_(clock), run_(std::move(run)) {}

VirtualTimers::~VirtualTimers() {
    for (VirtualTimer* t : timers_) t->owner_ = nullptr;
}

std::unique_ptr<core::Timer> VirtualTimers::createTimer() {
    return std::make_unique<VirtualTimer>(*this);
}

std::optional<std::uint64_t> VirtualTimers::nextDue() const {
    std::optional<std::uint64_t> due;
    for (const VirtualTimer* t : timers_) {
        if (t->enabled_ && t->handler_ && (!due || t->due_ < *due)) due = t->due_;
    }
    return due;
}

int VirtualTimers::fireDue(std::uint64_t nowMs) {
    int fired = 0;
    for (;;) {
        VirtualTimer* earliest = nullptr;
        for (VirtualTimer* t : timers_) {
            if (t->enabled_ && t->handler_ && t->due_ <= nowMs &&
                (earliest == nullptr || t->due_ < earliest->due_)) {
                earliest = t;
            }
        }
        if (earliest == nullptr) return fired;
        earliest->due_ += earliest->period();
        ++fired;
        // A copy: the handler may destroy its own timer or replace its handler.
        const std::function<void()> handler = earliest->handler_;
        if (run_) {
            run_(handler);
        } else {
            handler();
        }
    }
}

}  // namespace pelvano::platform
