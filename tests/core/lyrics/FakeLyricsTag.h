#pragma once
// An MP3 lyrics tag kept in memory: what each file's tag holds, and every write.
#include <map>
#include <stdexcept>

#include "core/lyrics/Mp3LyricsTag.h"

namespace pelvano::test {

class FakeLyricsTag final : public core::Mp3LyricsTag {
  public:
    std::string readLyrics(const std::string& nativePath) override {
        const auto it = lyrics.find(nativePath);
        return it == lyrics.end() ? std::string() : it->second;
    }
    core::TagSaveResult writeLyrics(const std::string& nativePath, const std::string& text,
                                    bool keepOtherFrames) override {
        if (failWrites) throw std::runtime_error("cannot write the tag");
        lyrics[nativePath] = text;
        lastKeep = keepOtherFrames;
        ++writes;
        return core::TagSaveResult{true, {}, {}};
    }
    core::TagTextEncoding textEncoding() const override { return encoding; }

    std::map<std::string, std::string> lyrics;
    bool failWrites = false;
    bool lastKeep = false;
    int writes = 0;
    core::TagTextEncoding encoding = core::TagTextEncoding::Unicode;
};

}  // namespace pelvano::test
