#pragma once
// What a remote watcher sees of the station, as plain values: built on the UI thread from the
// station, copied by the server's threads (StatusBoard). Texts are UTF-8.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/remote/LatenessHistogram.h"

namespace pelvano::core {

struct StatusItem {
    int row = 0;  // 1-based
    std::string name, title, artist;
    double elapsedS = 0, lengthS = 0;
};

struct StatusRow {
    int row = 0;
    std::string name, file;
    std::string timed;           // "hh:mm:ss" of a timed row, else ""
    double lengthS = 0;
    std::string estimatedStart;  // "hh:mm:ss", "" when unknown
    bool onAir = false;
};

struct StatusLogLine {
    std::uint64_t seq = 0;
    std::string text;
};

// The figures behind /metrics.
struct StationFigures {
    LatenessHistogram timedLateness;
    std::uint64_t failedRows = 0;
    std::uint64_t deviceLosses = 0;
    std::uint64_t deadAirEpisodes = 0;
    double deadAirSeconds = 0;
    std::int64_t longestStallMs = 0;
    std::uint64_t logWriteFailures = 0;
};

struct StationStatus {
    std::string station;
    std::string time;      // "YYYY-MM-DD hh:mm:ss"
    std::string state;     // "playing", "paused" or "stopped"
    std::string hold;      // why the automatic playout is held, "" when it is not
    std::optional<StatusItem> item;
    std::string schedule;  // the schedule file's name
    std::string deviceName;
    bool deviceOk = true;
    bool streamEnabled = false, streamConnected = false;
    std::string streamText;
    double levelLeft = -120, levelRight = -120;  // dBFS
    // Every row of the schedule: shared between snapshots, rebuilt about once a second.
    std::shared_ptr<const std::vector<StatusRow>> rows = std::make_shared<std::vector<StatusRow>>();
    std::vector<StatusRow> next;  // the next rows after the one on air
    StationFigures figures;
};

}  // namespace pelvano::core
