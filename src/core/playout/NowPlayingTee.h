#pragma once
// One item on air told to two listeners (the stream's metadata and the service manager's
// status); either may be null.
#include "core/ports/NowPlaying.h"

namespace pelvano::core {

class NowPlayingTee final : public NowPlayingListener {
  public:
    NowPlayingTee(NowPlayingListener* first, NowPlayingListener* second)
        : first_(first), second_(second) {}
    void nowPlaying(const NowPlayingItem& item) override {
        if (first_) first_->nowPlaying(item);
        if (second_) second_->nowPlaying(item);
    }

  private:
    NowPlayingListener* first_;
    NowPlayingListener* second_;
};

}  // namespace pelvano::core
