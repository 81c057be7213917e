#pragma once
// The fallback: when the schedule has nothing playable, files from the fallback folder fill the
// silence in a shuffled order, one after the other with the station's usual cross-fades, each
// logged "播放备用节目：NAME" and marked in the as-run file. The folder is listed and each file
// opened on a worker (the ItemPreparer); the next file is opened ahead while one plays. A fill
// is dropped when anything else goes on air, the operator pauses, stops or holds the playout, or
// a timed start is armed; the scheduler asks again at the fallback item's cross-fade point
// while the schedule still has nothing to play. UI thread.
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/playout/PlayoutContext.h"

namespace pelvano::core {

class BackgroundWork;
class ItemPreparer;
class ItemStart;
class TcbDSMixerChannel;

class FallbackPlayer {
  public:
    // A folder without one file that plays is listed again no sooner than this.
    static constexpr std::int64_t kBarrenRetryUs = 60'000'000;

    FallbackPlayer(PlayoutContext& context, ItemPreparer& preparer, ItemStart& items,
                   BackgroundWork& work);
    ~FallbackPlayer();
    FallbackPlayer(const FallbackPlayer&) = delete;
    FallbackPlayer& operator=(const FallbackPlayer&) = delete;

    // The folder as stored (GBK; relative to the station folder or absolute); empty: off. A new
    // folder is listed and its first file opened ahead.
    void setFolder(const std::string& storedFolder);
    bool enabled() const { return !folder_.empty(); }
    // Nothing playable: a fallback item goes on air as soon as its file is open.
    void fill();
    // Each scheduler tick: starts the wanted item once its file is open.
    void tick();

  private:
    void list();
    void listed(std::vector<std::string> storedPaths);
    // The next file of the shuffled order, opened ahead; empty when the order is used up.
    void pickNext();
    bool mayStart() const;
    void start(const std::string& storedPath);

    PlayoutContext& c_;
    ItemPreparer& preparer_;
    ItemStart& items_;
    BackgroundWork& work_;
    std::string folder_;
    std::vector<std::string> order_;  // stored paths, shuffled
    std::size_t nextIndex_ = 0;
    std::string next_;        // opened ahead, to play next
    std::string lastPlayed_;  // not first in the next order
    bool listing_ = false;
    bool wanted_ = false;
    int failuresInARow_ = 0;
    std::int64_t barrenUntilUs_ = 0;
    TcbDSMixerChannel* awaited_ = nullptr;  // the item on air when the fill was asked for
    std::mt19937 random_;
    // Listings posted before this object went away are dropped.
    std::shared_ptr<FallbackPlayer*> alive_;
};

}  // namespace pelvano::core
