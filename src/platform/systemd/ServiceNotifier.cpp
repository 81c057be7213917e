#include "platform/systemd/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

#include <algorithm>

namespace pelvano::platform {

namespace {

void notify(const std::string& message) {
    ::sd_notify(0, message.c_str());
}

}  // namespace

ServiceNotifier::ServiceNotifier(core::TimerService& uiTimers) {
    const std::uint32_t interval = watchdogPingIntervalMs();
    if (interval == 0) return;
    ping_ = uiTimers.createTimer();
    ping_->setInterval(interval);
    ping_->setOnTimer([] { notify("WATCHDOG=1"); });
    ping_->setEnabled(true);
}

ServiceNotifier::~ServiceNotifier() = default;

void ServiceNotifier::ready() {
    notify("READY=1");
}

void ServiceNotifier::stopping() {
    if (ping_) ping_->setEnabled(false);
    notify("STOPPING=1");
}

void ServiceNotifier::nowPlaying(const core::NowPlayingItem& item) {
    std::string status = item.title.empty() ? item.file : item.title;
    // One line: the protocol separates its assignments by newlines.
    std::replace(status.begin(), status.end(), '\n', ' ');
    notify("STATUS=" + status);
}

std::uint32_t ServiceNotifier::watchdogPingIntervalMs() {
    std::uint64_t usec = 0;
    if (::sd_watchdog_enabled(0, &usec) <= 0 || usec == 0) return 0;
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(usec / 2000, 1));
}

}  // namespace pelvano::platform
