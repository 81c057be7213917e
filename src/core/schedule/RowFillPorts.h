#pragma once
// What filling a schedule row from an audio file needs from the other subsystems: the length of
// the file (measured by the audio engine) and its title and artist (read from its tags).
// UI thread.
#include <optional>
#include <string>

namespace pelvano::core {

class DurationMeasurer {
public:
    virtual ~DurationMeasurer() = default;
    // The length in milliseconds of a native path; throws the engine's error when the file
    // cannot be opened.
    virtual long long measureMs(const std::string& nativePath) = 0;
};

struct TitleArtist {
    std::string title;   // GBK
    std::string artist;  // GBK
};

class TagTextReader {
public:
    virtual ~TagTextReader() = default;
    // Title and artist from the file's ID3v2/ID3v1 tag or, failing that, its WMA header;
    // nothing when the file has no tag.
    virtual std::optional<TitleArtist> readTitleArtist(const std::string& nativePath) = 0;
};

}  // namespace pelvano::core
