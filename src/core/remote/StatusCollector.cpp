#include "core/remote/StatusCollector.h"

#include <cmath>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "core/playout/Station.h"

namespace pelvano::core {

namespace {

constexpr int kDay = 86400;

double decibels(float peak) {
    return peak > 1e-6f ? std::max(-120.0, 20.0 * std::log10(static_cast<double>(peak))) : -120.0;
}

std::string holdReason(const PlayoutState& state) {
    if (!state.PlayoutHold) return "";
    if (state.PlayoutHoldOwners & kHoldByLyricsEditor) return "歌词编辑中";
    if (state.PlayoutHoldOwners & kHoldByTagWindow) return "标签编辑中";
    return "暂停自动播出";
}

std::string stateOf(const PlayoutState& state) {
    const TcbDSMixerChannel* current = state.CurrentChannel;
    if (!current || current->State() == ChannelState::Stopped) return "stopped";
    // The pause button dips the item and pauses its channel at the end of the dip.
    if (state.Paused) return "paused";
    return current->State() == ChannelState::Playing ? "playing" : "stopped";
}

// A row's name: its title, else its file name.
std::string rowName(const Grid& grid, int row) {
    const std::string& title = grid.cell(kColTitle, row);
    return GbkToUtf8(title.empty() ? FileNameOf(grid.cell(kColFile, row)) : title);
}

StatusRow rowOf(const Grid& grid, int row, int playing) {
    StatusRow r;
    r.row = row;
    r.name = rowName(grid, row);
    r.file = GbkToUtf8(FileNameOf(grid.cell(kColFile, row)));
    r.timed = grid.cell(kColStartTime, row);
    r.lengthS = ParseHms(grid.cell(kColLength, row));
    r.estimatedStart = r.timed.empty() ? grid.cell(kColEstimate, row) : r.timed;
    r.onAir = row == playing;
    return r;
}

std::shared_ptr<const std::vector<StatusRow>> allRows(const Grid& grid, int playing) {
    auto rows = std::make_shared<std::vector<StatusRow>>();
    rows->reserve(static_cast<std::size_t>(grid.dataRowCount()));
    for (int row = 1; row < grid.rowCount(); ++row) rows->push_back(rowOf(grid, row, playing));
    return rows;
}

// The rows after the one on air, their starts estimated from now: each follows the one before
// at its end less that one's cross-fade (as the hand-over goes), a timed row at its time.
// Without the table loop the list ends with the last row.
std::vector<StatusRow> nextRows(const Grid& grid, int playing, int defaultCross, bool tableLoops,
                                double remainingS, int count, int secondOfDay) {
    std::vector<StatusRow> next;
    const int rows = grid.dataRowCount();
    if (rows <= 0) return next;
    double clock = secondOfDay + remainingS;
    int row = playing;
    for (int i = 0; i < std::min(count, rows); ++i) {
        const int before = row;
        if (row >= rows && !tableLoops) break;
        row = row >= rows ? 1 : row + 1;
        StatusRow r = rowOf(grid, row, playing);
        if (r.timed.empty()) {
            if (before > 0) clock -= CrossOf(grid.cell(kColCross, before), defaultCross);
            const int at = static_cast<int>(std::lround(clock));
            r.estimatedStart = FormatHms(((at % kDay) + kDay) % kDay);
        } else {
            clock = ParseHms(r.timed);
        }
        clock += r.lengthS;
        next.push_back(std::move(r));
    }
    return next;
}

}  // namespace

StatusCollector::StatusCollector(Station& station, TimerService& timers, StatusBoard& board,
                                 std::function<StreamState()> stream)
    : station_(station), board_(board), stream_(std::move(stream)), timer_(timers.createTimer()) {
    station_.logWindow().setTap([this](const std::string& line) { board_.addLogLine(GbkToUtf8(line)); });
    timer_->setInterval(kIntervalMs);
    timer_->setOnTimer([this] { collect(); });
    timer_->setEnabled(true);
}

StatusCollector::~StatusCollector() {
    station_.logWindow().setTap(nullptr);
}

void StatusCollector::collect() {
    auto s = std::make_shared<StationStatus>();
    const LocalDateTime now = station_.clock().now();
    const ScheduleTable& table = station_.table();
    const Grid& grid = table.sgJM;
    const PlayoutState& state = station_.state();
    std::string folder = station_.paths().applicationDir;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    s->station = FileNameOf(folder);
    s->time = FormatDate(now, true) + " " + NowHms(now);
    s->state = stateOf(state);
    s->hold = holdReason(state);
    s->schedule = FileNameOf(table.CurrentSchedulePath);
    double remainingS = 0;
    if (TcbDSMixerChannel* ch = state.CurrentChannel; ch && table.PlayingRow > 0) {
        StatusItem item;
        item.row = table.PlayingRow;
        item.name = rowName(grid, item.row);
        item.title = GbkToUtf8(grid.cell(kColTitle, item.row));
        item.artist = GbkToUtf8(grid.cell(kColArtist, item.row));
        item.elapsedS = ch->Position() / 1000.0;
        item.lengthS = ch->Length() / 1000.0;
        remainingS = std::max(0.0, item.lengthS - item.elapsedS);
        s->item = std::move(item);
    }
    if (TcbDSMixer* mixer = station_.mixer()) {
        s->deviceName = GbkToUtf8(mixer->GetDeviceName(mixer->DeviceIndex()));
    }
    s->deviceOk = station_.mixer() && !station_.deviceLost();
    if (stream_) {
        const StreamState stream = stream_();
        s->streamEnabled = stream.enabled;
        s->streamConnected = stream.connected;
        s->streamText = stream.text;
    }
    if (const TAnalysis* analysis = station_.meters().analysis(); analysis && s->state == "playing") {
        s->levelLeft = decibels(analysis->level(0));
        s->levelRight = decibels(analysis->channelCount() > 1 ? analysis->level(1) : analysis->level(0));
    }
    if (!rows_ || rowsPlaying_ != table.PlayingRow || rowsSchedule_ != table.CurrentSchedulePath ||
        ++ticks_ >= kRowsEveryTicks) {
        rows_ = allRows(grid, table.PlayingRow);
        rowsPlaying_ = table.PlayingRow;
        rowsSchedule_ = table.CurrentSchedulePath;
        ticks_ = 0;
    }
    s->rows = rows_;
    s->next = nextRows(grid, table.PlayingRow, station_.settings().spOver(),
                       station_.settings().chkAllCycle(), remainingS, kNextRows,
                       now.secondsOfDay());
    StationFigures& f = s->figures;
    f.timedLateness = station_.timedLateness();
    f.failedRows = station_.items().failedStarts();
    f.deviceLosses = station_.deviceLosses();
    f.deadAirEpisodes = static_cast<std::uint64_t>(station_.deadAir().count());
    f.deadAirSeconds = station_.deadAir().totalSeconds();
    f.longestStallMs = station_.uiStalls().longestMs();
    f.logWriteFailures = station_.fileWrites().failureCount();
    board_.publish(std::move(s));
}

}  // namespace pelvano::core
