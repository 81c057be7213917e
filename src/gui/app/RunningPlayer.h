#pragma once
// The player already on air for a station folder, reached over a local socket: the one holding
// the folder's lock listens, and a second start on the folder asks it to raise its windows
// instead of starting. The socket is named after the folder, so players of different stations
// never meet. UI thread only.
#include <QLocalServer>
#include <QString>
#include <functional>
#include <string>

namespace pelvano::gui {

// The socket's name for a station folder (native path).
QString RunningPlayerName(const std::string& stationFolder);

class RunningPlayerListener final : public QObject {
    Q_OBJECT
  public:
    // Listens for the folder; onRaise runs for each second start. Only the holder of the
    // folder's lock may listen: a socket left by a killed player is replaced.
    RunningPlayerListener(const std::string& stationFolder, std::function<void()> onRaise);

  private:
    QLocalServer server_;
    std::function<void()> onRaise_;
};

// Asks the player on air for the folder to raise its windows; false when none answered.
bool AskRunningPlayerToRaise(const std::string& stationFolder);

// Brings every shown window of the application to the front, restored, the player active.
void RaiseShownWindows(QWidget* player);

}  // namespace pelvano::gui
