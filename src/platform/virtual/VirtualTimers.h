#pragma once
// Timers on the virtual clock: a timer enabled at t with interval n fires at t+n, t+2n, ...
// (an interval of 0 fires every millisecond). The simulation fires the due ones in time order,
// ties in creation order. Simulation thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/ports/Clock.h"
#include "core/ports/TimerService.h"

namespace pelvano::platform {

class VirtualTimers final : public core::TimerService {
  public:
    // How a tick's handler is run (the simulation runs it as the UI loop would); plain call
    // when empty.
    using HandlerRunner = std::function<void(const std::function<void()>&)>;
    explicit VirtualTimers(const core::Clock& clock, HandlerRunner run = {});
    ~VirtualTimers() override;

    std::unique_ptr<core::Timer> createTimer() override;
    std::optional<std::uint64_t> nextDue() const;
    // Fires every tick due at or before nowMs; returns how many fired.
    int fireDue(std::uint64_t nowMs);

  private:
    class VirtualTimer;
    friend class VirtualTimer;
    const core::Clock& clock_;
    HandlerRunner run_;
    std::vector<VirtualTimer*> timers_;
};

}  // namespace pelvano::platform
