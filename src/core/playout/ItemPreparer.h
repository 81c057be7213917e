#pragma once
// Items opened ahead: the file of a row is resolved, opened and probed on a worker, within a
// time bound, long before its start, so that the start only hands the ready reader to a
// channel. A file whose open has not finished within the bound is given up (its worker
// abandoned); while that worker still hangs, the same file is not tried again, so that a FIFO
// or a dead share does not eat one thread per attempt. A length the open only estimated is
// counted afterwards on a worker and reported through onExactDuration. With a loudness source,
// the worker also takes the file's cached loudness, else a quick estimate (then the full
// measurement is queued), reported through onLoudness.
// UI thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/app/StoredPathResolver.h"
#include "core/audio/TcbAudioFileReader.h"
#include "core/loudness/LoudnessFacts.h"
#include "core/ports/BackgroundWork.h"
#include "core/ports/LoudnessSource.h"

namespace pelvano::core {

class ItemPreparer {
  public:
    enum class State { Absent, Pending, Ready, Missing, Failed, TimedOut };
    static constexpr std::chrono::milliseconds kDefaultBound{3000};
    // Counting a length reads the whole file; it may take this long before it is given up.
    static constexpr std::chrono::milliseconds kCountBound{120000};
    // Prepared items kept and not yet started; the oldest settled one goes first.
    static constexpr std::size_t kMaxKept = 8;

    struct Taken {
        State state = State::Absent;
        std::string native;
        std::unique_ptr<TcbAudioFileReader> reader;  // Ready only
        std::string error;                           // Failed: the engine's text
        // Ready only, when the station measures loudness: the cached facts or a quick estimate.
        std::optional<LoudnessFacts> loudness;
    };

    ItemPreparer(BackgroundWork& work, AudioSourceFactory& sources,
                 const StoredPathResolver& resolver);
    ~ItemPreparer();
    ItemPreparer(const ItemPreparer&) = delete;
    ItemPreparer& operator=(const ItemPreparer&) = delete;

    void setBound(std::chrono::milliseconds bound) { bound_ = bound; }
    // Null: no loudness is taken. The source outlives this object.
    void setLoudness(LoudnessSource* source) { loudness_ = source; }
    std::chrono::milliseconds bound() const { return bound_; }

    // Starts preparing the file of a stored path, unless it is already prepared or under way.
    void request(const std::string& storedPath);
    State state(const std::string& storedPath) const;
    // Hands the result over and forgets it; Absent when nothing was asked for.
    Taken take(const std::string& storedPath);

    // Called when a request settles (no longer Pending), with its stored path.
    std::function<void(const std::string& storedPath)> onSettled;
    // Called with the exact length (stream time) of a native file whose open only estimated it.
    std::function<void(const std::string& native, std::int64_t duration)> onExactDuration;
    // Called with the loudness facts of a prepared file, and again when its full measurement
    // replaces an estimate.
    LoudnessSource::Measured onLoudness;

  private:
    struct Result;
    struct Entry {
        State state = State::Pending;
        std::shared_ptr<Result> result;
    };
    void settle(const std::string& storedPath, BackgroundWork::Outcome outcome,
                const std::shared_ptr<Result>& result);
    void countLength(const std::string& native, std::function<std::optional<std::int64_t>()> count);
    void pruneSettled();
    void reportLoudness(const std::string& native, const std::optional<LoudnessFacts>& facts);

    BackgroundWork& work_;
    AudioSourceFactory& sources_;
    const StoredPathResolver& resolver_;
    LoudnessSource* loudness_ = nullptr;
    std::chrono::milliseconds bound_ = kDefaultBound;
    std::map<std::string, Entry> entries_;
    std::list<std::string> order_;  // stored paths in request order
    // Abandoned opens by stored path: set once the stuck worker returned.
    std::map<std::string, std::shared_ptr<std::atomic<bool>>> hung_;
    // Outcomes posted before this object went away are dropped.
    std::shared_ptr<ItemPreparer*> alive_;
};

}  // namespace pelvano::core
