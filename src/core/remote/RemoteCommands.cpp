#include "core/remote/RemoteCommands.h"

#include "core/app/Encoding.h"
#include "core/playout/Station.h"

namespace pelvano::core {

namespace {

std::string commandName(RemoteCommand command, int row) {
    switch (command) {
        case RemoteCommand::Play:
            return "播放";
        case RemoteCommand::Pause:
            return "暂停";
        case RemoteCommand::Stop:
            return "停止";
        case RemoteCommand::Next:
            return "下一首";
        case RemoteCommand::StartRow:
            return "播放序号" + std::to_string(row);
    }
    return "";
}

}  // namespace

RemoteCommands::RemoteCommands(Station& station, EventQueue& events)
    : station_(station),
      events_(events),
      schedule_(station),
      self_(std::make_shared<RemoteCommands*>(this)) {}

RemoteCommands::~RemoteCommands() {
    *self_ = nullptr;
}

void RemoteCommands::post(RemoteCommand command, int row, const std::string& who) {
    events_.post([self = self_, command, row, who] {
        if (*self) (*self)->run(command, row, who);
    });
}

void RemoteCommands::run(RemoteCommand command, int row, const std::string& who) {
    ItemStart& items = station_.items();
    Grid& grid = station_.table().sgJM;
    if (command == RemoteCommand::StartRow && (row < 1 || row > grid.dataRowCount())) return;
    station_.log().LogLine(Utf8ToGbk("远程控制:" + commandName(command, row) + " (" + who + ")"));
    switch (command) {
        case RemoteCommand::Play:
            items.btnPlayClick();
            break;
        case RemoteCommand::Pause:
            items.btnPauseClick();
            break;
        case RemoteCommand::Stop:
            items.btnStopClick();
            break;
        case RemoteCommand::Next: {
            // The row after the one on air, started as a double click on it starts it.
            const int playing = station_.table().PlayingRow;
            grid.setCurrentRow(playing >= grid.dataRowCount() ? 1 : playing + 1);
            schedule_.DoubleClick();
            break;
        }
        case RemoteCommand::StartRow:
            grid.setCurrentRow(row);
            schedule_.DoubleClick();
            break;
    }
    station_.view().repaintSchedule();
}

}  // namespace pelvano::core
