#pragma once
// Reads the lyrics of each item that starts on a worker, so that a slow or hung disk or share
// never stalls the UI thread, and hands them to the state on the UI thread. Only the latest
// request is applied: a later one supersedes it. A read that does not return within its bound
// leaves no lyrics. Each read uses a tag reader of its own, never one the windows share.
// UI thread.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/app/StoredPathResolver.h"
#include "core/lyrics/LyricsTable.h"
#include "core/lyrics/Mp3LyricsTag.h"
#include "core/ports/BackgroundWork.h"

namespace pelvano::core {

class LyricsLoader {
  public:
    using TagReaders = std::function<std::unique_ptr<Mp3LyricsTag>()>;

    // state: where the lyrics go; loaded: told on the UI thread after the state changed.
    LyricsLoader(BackgroundWork& work, const StoredPathResolver& paths, TagReaders tagReaders,
                 LyricsState& state, std::function<void()> loaded);
    ~LyricsLoader();
    LyricsLoader(const LyricsLoader&) = delete;
    LyricsLoader& operator=(const LyricsLoader&) = delete;

    // Empties the table and the raw lines at once, then reads the lyrics of the stored path as
    // LoadLyrics does. An empty path reads nothing: the lyrics are gone, told at once.
    void load(const std::string& storedPath, bool mp3First, std::chrono::milliseconds bound);
    // Whether a read is still out.
    bool pending() const { return pending_; }

  private:
    struct Read;
    void settle(std::uint64_t ticket, BackgroundWork::Outcome outcome, Read& read);

    BackgroundWork& work_;
    const StoredPathResolver& paths_;
    TagReaders tagReaders_;
    LyricsState& state_;
    std::function<void()> loaded_;
    std::uint64_t ticket_ = 0;
    bool pending_ = false;
    // Completions hold it weakly: one arriving after the loader is gone finds nobody.
    std::shared_ptr<LyricsLoader*> alive_;
};

}  // namespace pelvano::core
