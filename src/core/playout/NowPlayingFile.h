#pragma once
// What is on air, told at every item start: nowplaying.json in the station folder (for web
// pages and RDS encoders, whether the station streams or not) and the station's listener (the
// stream's metadata). The file is replaced atomically, so a reader never sees half of it, by
// the file queue, so a slow disk holds up nothing; the listener hears at once. UI thread.
#include <optional>
#include <string>

#include "core/app/DateTime.h"
#include "core/ports/NowPlaying.h"

namespace pelvano::core {

class Clock;
class FileWriteQueue;

// The file's text: a UTF-8 JSON object with title, artist, file, row, started (local time,
// "YYYY-MM-DDThh:mm:ss.zzz"), length (seconds) and schedule (the schedule file's name).
std::string NowPlayingJson(const NowPlayingItem& item, const LocalDateTime& started,
                           const std::string& scheduleName);

class NowPlayingFile {
  public:
    static constexpr const char* kFileName = "nowplaying.json";

    // folder: the station folder (native, trailing '/'). listener may be null.
    NowPlayingFile(const Clock& clock, FileWriteQueue& files, std::string folder,
                   NowPlayingListener* listener);

    // An item went on air: the rewrite of the file is queued and the listener hears of it. A
    // file that cannot be written is the queue's failure to report; the playout goes on.
    void itemStarted(const NowPlayingItem& item, const std::string& scheduleName);
    // The item last announced, if any (e.g. for a stream that connects later).
    const std::optional<NowPlayingItem>& current() const { return current_; }
    std::string path() const { return folder_ + kFileName; }

  private:
    const Clock& clock_;
    FileWriteQueue& files_;
    std::string folder_;
    NowPlayingListener* listener_;
    std::optional<NowPlayingItem> current_;
};

}  // namespace pelvano::core
