#pragma once
// Tells the play-process log what the file queue could not write: once per file and hour, not
// once per line, so a full disk neither floods the window nor hides everything else in it. The
// queue counts every failure for the status. UI thread.
#include <cstdint>
#include <map>
#include <string>

namespace pelvano::core {

class Clock;
class FileWriteQueue;
class PlayProcessLog;

class WriteFailureReport {
  public:
    static constexpr std::int64_t kQuietUs = 3600LL * 1000000;

    WriteFailureReport(const Clock& clock, FileWriteQueue& files, PlayProcessLog& log)
        : clock_(clock), files_(files), log_(log) {}

    // Logs the failures the queue has gathered since the last call.
    void poll();

  private:
    const Clock& clock_;
    FileWriteQueue& files_;
    PlayProcessLog& log_;
    std::map<std::string, std::int64_t> lastToldUs_;  // per file
};

}  // namespace pelvano::core
