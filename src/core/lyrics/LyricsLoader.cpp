#include "core/lyrics/LyricsLoader.h"

#include "core/lyrics/LoadLyrics.h"

namespace pelvano::core {

// All a read touches; it may outlive the loader when the read hangs.
struct LyricsLoader::Read {
    StoredPathResolver paths;
    std::unique_ptr<Mp3LyricsTag> tags;
    LyricsState result;
    bool found = false;
};

LyricsLoader::LyricsLoader(BackgroundWork& work, const StoredPathResolver& paths,
                           TagReaders tagReaders, LyricsState& state, std::function<void()> loaded)
    : work_(work),
      paths_(paths),
      tagReaders_(std::move(tagReaders)),
      state_(state),
      loaded_(std::move(loaded)),
      alive_(std::make_shared<LyricsLoader*>(this)) {}

LyricsLoader::~LyricsLoader() {
    *alive_ = nullptr;
}

void LyricsLoader::load(const std::string& storedPath, bool mp3First,
                        std::chrono::milliseconds bound) {
    const std::uint64_t ticket = ++ticket_;
    // Until the read returns, the old item's lyrics must not follow the new item's position.
    state_.table.reset();
    state_.rawLines.clear();
    pending_ = !storedPath.empty();
    if (!pending_) {
        loaded_();
        return;
    }
    auto read = std::make_shared<Read>(Read{paths_, tagReaders_(), {}, false});
    auto job = [read, storedPath, mp3First] {
        read->found =
            LoadLyrics(storedPath, mp3First, LyricsSources{read->paths, *read->tags}, read->result);
    };
    std::weak_ptr<LyricsLoader*> alive = alive_;
    work_.run(std::move(job), bound, [alive, ticket, read](BackgroundWork::Outcome outcome) {
        const auto self = alive.lock();
        if (self && *self) (*self)->settle(ticket, outcome, *read);
    });
}

void LyricsLoader::settle(std::uint64_t ticket, BackgroundWork::Outcome outcome, Read& read) {
    if (ticket != ticket_) return;
    pending_ = false;
    // Nothing found, or no answer in time: the table stays empty, the display position kept.
    if (outcome == BackgroundWork::Outcome::Done && read.found) state_ = std::move(read.result);
    loaded_();
}

}  // namespace pelvano::core
