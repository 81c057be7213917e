#include "core/playout/ItemPreparer.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

#include "core/app/FileHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"

namespace pelvano::core {

// Written by the job, read on the UI thread only after a Done outcome.
struct ItemPreparer::Result {
    State state = State::Failed;
    std::string native;
    std::unique_ptr<AudioSource> source;  // made on the UI thread, opened by the job
    std::unique_ptr<TcbAudioFileReader> reader;
    std::string error;
    std::optional<LoudnessFacts> loudness;
    std::function<std::optional<std::int64_t>()> count;
    std::shared_ptr<std::atomic<bool>> returned = std::make_shared<std::atomic<bool>>(false);
};

ItemPreparer::ItemPreparer(BackgroundWork& work, AudioSourceFactory& sources,
                           const StoredPathResolver& resolver)
    : work_(work),
      sources_(sources),
      resolver_(resolver),
      alive_(std::make_shared<ItemPreparer*>(this)) {}

ItemPreparer::~ItemPreparer() {
    *alive_ = nullptr;
}

void ItemPreparer::request(const std::string& storedPath) {
    if (storedPath.empty() || entries_.count(storedPath) != 0) return;
    Entry& entry = entries_[storedPath];
    order_.push_back(storedPath);
    if (auto hung = hung_.find(storedPath); hung != hung_.end()) {
        if (!hung->second->load()) {
            entry.state = State::TimedOut;
            pruneSettled();
            return;
        }
        hung_.erase(hung);
    }
    auto result = std::make_shared<Result>();
    entry.result = result;
    // The job owns copies of all it uses: it may outlive the station when it hangs.
    result->source = sources_.createSource();
    LoudnessSource::FactsJob loudness = loudness_ ? loudness_->factsJob() : nullptr;
    auto job = [result, resolver = resolver_, storedPath, loudness = std::move(loudness)] {
        struct Returned {
            std::atomic<bool>& flag;
            ~Returned() { flag.store(true); }
        } returned{*result->returned};
        result->native = resolver.resolve(storedPath);
        if (!FileExists(result->native)) {
            result->state = State::Missing;
            return;
        }
        try {
            auto reader =
                std::make_unique<TcbAudioFileReader>(std::move(result->source), result->native);
            TcbDSMixerChannel::CheckPlayable(*reader);
            result->count = reader->ExactDurationJob();
            result->reader = std::move(reader);
            if (loudness) result->loudness = loudness(result->native);
            result->state = State::Ready;
        } catch (const std::exception& e) {
            result->error = e.what();
            result->state = State::Failed;
        }
    };
    std::weak_ptr<ItemPreparer*> alive = alive_;
    work_.run(std::move(job), bound_, [alive, storedPath, result](BackgroundWork::Outcome outcome) {
        const auto self = alive.lock();
        if (self && *self) (*self)->settle(storedPath, outcome, result);
    });
}

void ItemPreparer::settle(const std::string& storedPath, BackgroundWork::Outcome outcome,
                          const std::shared_ptr<Result>& result) {
    auto it = entries_.find(storedPath);
    if (outcome == BackgroundWork::Outcome::TimedOut) hung_[storedPath] = result->returned;
    // Forgotten or asked for again since: this outcome is no longer wanted.
    if (it == entries_.end() || it->second.result != result) return;
    Entry& entry = it->second;
    entry.state = outcome == BackgroundWork::Outcome::TimedOut ? State::TimedOut : result->state;
    if (entry.state == State::Ready && result->count) countLength(result->native, result->count);
    if (entry.state == State::Ready && loudness_) reportLoudness(result->native, result->loudness);
    pruneSettled();
    if (onSettled) onSettled(storedPath);
}

void ItemPreparer::countLength(const std::string& native,
                               std::function<std::optional<std::int64_t>()> count) {
    auto counted = std::make_shared<std::optional<std::int64_t>>();
    std::weak_ptr<ItemPreparer*> alive = alive_;
    work_.run([counted, count = std::move(count)] { *counted = count(); }, kCountBound,
              [alive, native, counted](BackgroundWork::Outcome outcome) {
                  const auto self = alive.lock();
                  if (!self || !*self || outcome != BackgroundWork::Outcome::Done || !*counted)
                      return;
                  ItemPreparer& me = **self;
                  // A reader still waiting for its start takes the exact length too.
                  for (auto& [stored, entry] : me.entries_) {
                      if (entry.state == State::Ready && entry.result->native == native)
                          entry.result->reader->SetDuration(**counted);
                  }
                  if (me.onExactDuration) me.onExactDuration(native, **counted);
              });
}

void ItemPreparer::reportLoudness(const std::string& native,
                                  const std::optional<LoudnessFacts>& facts) {
    if (facts && onLoudness) onLoudness(native, *facts);
    if (!facts || !facts->estimate) return;
    std::weak_ptr<ItemPreparer*> alive = alive_;
    loudness_->measureAhead({native}, [alive](const std::string& file, const LoudnessFacts& full) {
        const auto self = alive.lock();
        if (self && *self && (*self)->onLoudness) (*self)->onLoudness(file, full);
    });
}

ItemPreparer::State ItemPreparer::state(const std::string& storedPath) const {
    const auto it = entries_.find(storedPath);
    return it == entries_.end() ? State::Absent : it->second.state;
}

ItemPreparer::Taken ItemPreparer::take(const std::string& storedPath) {
    Taken taken;
    const auto it = entries_.find(storedPath);
    if (it == entries_.end()) return taken;
    taken.state = it->second.state;
    if (taken.state != State::Pending && it->second.result) {
        Result& r = *it->second.result;
        taken.native = r.native;
        taken.reader = std::move(r.reader);
        taken.error = r.error;
        taken.loudness = r.loudness;
    }
    entries_.erase(it);
    order_.remove(storedPath);
    return taken;
}

void ItemPreparer::pruneSettled() {
    for (auto it = order_.begin(); entries_.size() > kMaxKept && it != order_.end();) {
        const auto entry = entries_.find(*it);
        if (entry->second.state == State::Pending) {
            ++it;
            continue;
        }
        entries_.erase(entry);
        it = order_.erase(it);
    }
}

}  // namespace pelvano::core
