#pragma once
// The six texts this system keeps in an MP3 file's ID3v2 tag (title, artist, album, year,
// comment and the LRC lyrics in TXXX frames), read with a fall-back to the ID3v1 tag, and the
// rewrite of the file with a new tag or none. Texts are stored bytes (GBK).
// UI thread, or one thread per instance.
#include <array>
#include <cstdint>
#include <string>

#include "core/tags/TID3v1Tag.h"
#include "core/tags/TagFileReplace.h"
#include "core/tags/TagTextEncoding.h"

namespace pelvano::core {

class TID3v2Tag {
  public:
    // Frames written hold at most this many text bytes; longer texts take several frames.
    static constexpr std::size_t kFrameTextLimit = 1000;

    // The ID3v1 reader used for the fall-back; the instance's own one unless one is shared.
    explicit TID3v2Tag(TID3v1Tag* id3v1 = nullptr);
    TID3v2Tag(const TID3v2Tag&) = delete;
    TID3v2Tag& operator=(const TID3v2Tag&) = delete;

    bool Exists = false;    // the last file read has an ID3v2 tag
    bool ExistsV1 = false;  // it has none but an ID3v1 tag, whose texts were taken
    // ID3v2: the header's size value; ID3v1 only: 128; none: 0.
    std::int32_t TagSize = 0;
    int Version = 0;  // major version of the ID3v2 tag read (0: none)
    std::string Comment;
    std::string Album;
    std::string Title;
    std::string Artist;
    std::string Year;
    std::string Lyrics;

    // How new and changed texts are written. A text that is saved as it was read from an ID3v2
    // tag keeps the form it was read in, so a save never turns another program's UTF-16 text
    // into stored bytes.
    TagTextEncoding TextEncoding = TagTextEncoding::Unicode;

    // Fills every field from the file. A damaged tag gives the texts read before the damage.
    // Throws TagFileError when the file cannot be opened.
    void ReadFromFile(const std::string& fileName);
    // Rewrites the file with a new tag of the six texts (and, when keepOtherFrames, the other
    // frames of its old tag) followed by its audio, without an ID3v1 tag. The audio is located
    // afresh in the file. Throws TagFileError when the file cannot be opened, its audio cannot
    // be located, or the new file cannot be written; the original is then untouched. A file
    // its owner may not write is not rewritten either: the result says so ("文件只读，未修改").
    [[nodiscard]] TagSaveResult SaveToFile(const std::string& fileName, bool keepOtherFrames);
    // Rewrites the file with its audio alone: no ID3v2 and no ID3v1 tag.
    [[nodiscard]] TagSaveResult RemoveFromFile(const std::string& fileName);

    // The bytes of the new tag: header, the six texts' frames, then keptFrames.
    std::string buildTag(const std::string& keptFrames) const;

  private:
    // The six texts in the order of writing: COMM, TALB, TIT2, TPE1, TYER, TXXX.
    static constexpr std::size_t kTextCount = 6;
    struct ReadText {
        bool fromId3v2 = false;
        Id3v2TextForm form = Id3v2TextForm::Local;
        std::string text;
    };

    void clear();
    Id3v2TextForm formOf(std::size_t index, const std::string& text) const;
    TagSaveResult rewrite(const std::string& fileName, bool withTag, bool keepOtherFrames);

    std::array<ReadText, kTextCount> read_;
    TID3v1Tag ownId3v1_;
    TID3v1Tag* id3v1_;
};

}  // namespace pelvano::core
