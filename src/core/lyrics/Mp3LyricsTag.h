#pragma once
// The lyrics kept inside an MP3 file. Behind an interface so that the lyrics logic can be tried
// without building tagged files; the station uses the ID3v2 implementation. UI thread.
#include <string>

#include "core/tags/TID3v2Tag.h"

namespace pelvano::core {

class Mp3LyricsTag {
  public:
    virtual ~Mp3LyricsTag() = default;
    // The lyrics text of the file's tag; empty when it has none or cannot be read.
    virtual std::string readLyrics(const std::string& nativePath) = 0;
    // Rewrites the file's tag with these lyrics, the other texts as they were. Throws (as the
    // tag does) when the file cannot be rewritten; the original is then untouched.
    virtual TagSaveResult writeLyrics(const std::string& nativePath, const std::string& lyrics,
                                      bool keepOtherFrames) = 0;
    // The station's tag text setting, which also decides the encoding of a new ".lrc" file.
    virtual TagTextEncoding textEncoding() const = 0;
};

class Id3v2LyricsTag final : public Mp3LyricsTag {
  public:
    // How lyrics are written: the station's [Linux] TagTextEncoding.
    explicit Id3v2LyricsTag(TagTextEncoding encoding = TagTextEncoding::Unicode)
        : encoding_(encoding) {}
    std::string readLyrics(const std::string& nativePath) override;
    TagSaveResult writeLyrics(const std::string& nativePath, const std::string& lyrics,
                              bool keepOtherFrames) override;
    TagTextEncoding textEncoding() const override { return encoding_; }

  private:
    TagTextEncoding encoding_;
};

}  // namespace pelvano::core
