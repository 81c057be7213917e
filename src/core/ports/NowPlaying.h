#pragma once
// The item that went on air, for whoever announces it beyond the loudspeakers: the stream's
// metadata, a web page, an RDS encoder.
#include <cstdint>
#include <string>

namespace pelvano::core {

struct NowPlayingItem {
    int row = 0;  // the schedule row
    // UTF-8. title and artist as the schedule row gives them; file = the path as stored.
    std::string title, artist, file;
    std::int64_t startedAtUs = 0;  // Clock::tickUs scale: the timed second, else the start
    std::int64_t lengthMs = 0;     // the file's length as the engine measured it
};

class NowPlayingListener {
  public:
    virtual ~NowPlayingListener() = default;
    // UI thread, right after the item's start (its sound is armed). Must not block: the
    // scheduler waits for it.
    virtual void nowPlaying(const NowPlayingItem& item) = 0;
};

}  // namespace pelvano::core
