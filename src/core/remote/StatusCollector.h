#pragma once
// Builds the remote status snapshot from the station every kIntervalMs on the UI thread and
// leaves it on the board, with every play-process log line as it is written. The server's
// threads never touch the station. UI thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/remote/StatusBoard.h"
#include "core/ports/TimerService.h"

namespace pelvano::core {

class Station;

// The internet stream as the status shows it.
struct StreamState {
    bool enabled = false;
    bool connected = false;
    std::string text;  // UTF-8, e.g. the server it goes to
};

class StatusCollector {
  public:
    static constexpr std::uint32_t kIntervalMs = 100;
    static constexpr int kNextRows = 10;
    // Rebuilds the whole row list once every this many ticks (and when the row on air changes).
    static constexpr int kRowsEveryTicks = 10;

    // stream: asked on each tick; may be empty (no stream).
    StatusCollector(Station& station, TimerService& timers, StatusBoard& board,
                    std::function<StreamState()> stream);
    ~StatusCollector();
    StatusCollector(const StatusCollector&) = delete;
    StatusCollector& operator=(const StatusCollector&) = delete;

    // Builds and publishes one snapshot now.
    void collect();

  private:
    Station& station_;
    StatusBoard& board_;
    std::function<StreamState()> stream_;
    std::unique_ptr<Timer> timer_;
    std::shared_ptr<const std::vector<StatusRow>> rows_;
    int rowsPlaying_ = -1;
    std::string rowsSchedule_;
    int ticks_ = 0;
};

}  // namespace pelvano::core
