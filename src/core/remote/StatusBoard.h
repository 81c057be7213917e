#pragma once
// Where the UI thread leaves the station's status for the remote server's threads: the latest
// snapshot (swapped in whole, so a reader's lock lasts a pointer copy) and the last log lines
// with their sequence numbers. publish() and addLogLine() on the UI thread; the rest any thread.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/remote/StationStatus.h"

namespace pelvano::core {

class StatusBoard {
  public:
    static constexpr std::size_t kLogLines = 100;

    void publish(std::shared_ptr<const StationStatus> status);
    void addLogLine(std::string utf8);

    std::shared_ptr<const StationStatus> status() const;
    // Counts the snapshots that differ from the one before in more than levels, time and the
    // elapsed fraction of a second: what a watcher is told of as a new status.
    std::uint64_t statusVersion() const;
    // The kept lines numbered above seq, oldest first.
    std::vector<StatusLogLine> logSince(std::uint64_t seq) const;
    std::uint64_t lastLogSeq() const;

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StationStatus> status_ = std::make_shared<StationStatus>();
    std::string statusKey_;
    std::uint64_t version_ = 0;
    std::deque<StatusLogLine> log_;
    std::uint64_t lastSeq_ = 0;
};

}  // namespace pelvano::core
