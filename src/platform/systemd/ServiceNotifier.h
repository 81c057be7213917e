#pragma once
// The service manager's notify protocol (a systemd unit of Type=notify): ready after start-up,
// a watchdog ping from the UI thread's timers (a frozen UI thread stops them, and the manager
// restarts the program), the item on air as the status, stopping at close. Outside such a
// unit (no NOTIFY_SOCKET) every message goes nowhere.
// UI thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "core/ports/NowPlaying.h"
#include "core/ports/TimerService.h"

namespace pelvano::platform {

class ServiceNotifier final : public core::NowPlayingListener {
  public:
    // Starts the watchdog pings on the given timers when the manager asked for them.
    explicit ServiceNotifier(core::TimerService& uiTimers);
    ~ServiceNotifier() override;

    void ready();
    void stopping();
    // STATUS= the item's title, else its file.
    void nowPlaying(const core::NowPlayingItem& item) override;

    // Half the watchdog time the manager set (WATCHDOG_USEC); 0: no watchdog.
    static std::uint32_t watchdogPingIntervalMs();

  private:
    std::unique_ptr<core::Timer> ping_;
};

}  // namespace pelvano::platform
