#pragma once
// The item on air, told at every item start (for the stream's metadata, nowplaying.json).
#include <cstdint>
#include <string>

namespace pelvano::core {

struct NowPlayingItem {
    int row = 0;
    std::string title, artist, file;  // UTF-8
    std::int64_t startedAtUs = 0;
};

class NowPlayingListener {
  public:
    virtual ~NowPlayingListener() = default;
    // UI thread, after the item's start; must not block.
    virtual void nowPlaying(const NowPlayingItem& item) = 0;
};

}  // namespace pelvano::core
