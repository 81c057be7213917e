#pragma once
// The remote control's commands, run on the station exactly as the player's buttons and the
// schedule window's double click run them. post() from any thread (the server's); the command
// runs on the UI thread through the event queue, and not at all once this object is gone.
#include <memory>
#include <string>

#include "core/playout/ScheduleCommands.h"
#include "core/ports/EventQueue.h"

namespace pelvano::core {

class Station;

enum class RemoteCommand { Play, Pause, Stop, Next, StartRow };

class RemoteCommands {
  public:
    RemoteCommands(Station& station, EventQueue& events);
    ~RemoteCommands();
    RemoteCommands(const RemoteCommands&) = delete;
    RemoteCommands& operator=(const RemoteCommands&) = delete;

    // Any thread. row: the 1-based schedule row of StartRow. who: the user and address, for
    // the log.
    void post(RemoteCommand command, int row, const std::string& who);
    // UI thread: logs the command and runs it.
    void run(RemoteCommand command, int row, const std::string& who);

  private:
    Station& station_;
    EventQueue& events_;
    ScheduleCommands schedule_;
    // Cleared by the destructor (UI thread): a command still queued then does nothing.
    std::shared_ptr<RemoteCommands*> self_;
};

}  // namespace pelvano::core
