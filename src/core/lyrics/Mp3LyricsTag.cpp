#include "core/lyrics/Mp3LyricsTag.h"

#include "core/tags/TagFile.h"

namespace pelvano::core {

std::string Id3v2LyricsTag::readLyrics(const std::string& nativePath) {
    TID3v2Tag tag;
    try {
        tag.ReadFromFile(nativePath);
    } catch (const TagFileError&) {
        return {};
    }
    return tag.Lyrics;
}

TagSaveResult Id3v2LyricsTag::writeLyrics(const std::string& nativePath, const std::string& lyrics,
                                          bool keepOtherFrames) {
    TID3v2Tag tag;
    tag.TextEncoding = encoding_;
    tag.ReadFromFile(nativePath);
    tag.Lyrics = lyrics;
    return tag.SaveToFile(nativePath, keepOtherFrames);
}

}  // namespace pelvano::core
