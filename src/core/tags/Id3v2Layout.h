#pragma once
// Where the parts of an MP3 file with an ID3v2 tag lie (header, frames, audio, a trailing
// ID3v1 tag) and the walk over the frames of a tag. Pure functions on bytes; any thread.
//
// The size value of the header is read both ways: the standard counts the bytes after the
// 10-byte header, while files written by the older Windows system counted the header too. The
// audio starts where the standard says unless an MPEG frame starts at the older position, right
// after the last frame, and none at the standard one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pelvano::core {

class TagFile;

struct Id3v2Header {
    int version = 0;  // 2, 3, 4 (others are read as version 3)
    int revision = 0;
    unsigned flags = 0;
    std::uint32_t sizeValue = 0;  // 28 bits
};

struct Id3v2Layout {
    bool hasTag = false;  // the file starts with "ID3" and a whole header
    Id3v2Header header;
    // The tag's bytes from the first frame to the end of its frames (extended header skipped,
    // unsynchronisation undone).
    std::string frameBytes;
    // The first audio byte; empty when a tag cannot be placed (its size runs past the file).
    std::optional<std::uint64_t> audioStart;
    // One past the last audio byte: the start of a trailing ID3v1 tag, else the file size.
    // Set by LocateAudioEnd; InspectId3v2 alone leaves it at the file size.
    std::uint64_t audioEnd = 0;
    bool hasV1Tag = false;
};

Id3v2Layout InspectId3v2(const TagFile& file);
// Looks for an ID3v1 tag behind the audio (only rewrites need to know).
void LocateAudioEnd(const TagFile& file, Id3v2Layout& layout);

// Reads the 28-bit value of four bytes holding 7 bits each (bit 7 ignored), and writes one.
std::uint32_t ReadSyncsafe(std::string_view fourBytes);
std::string WriteSyncsafe(std::uint32_t value);
std::uint32_t ReadBigEndian32(std::string_view fourBytes);
std::string WriteBigEndian32(std::uint32_t value);

struct Id3v2Frame {
    std::string_view id;         // 4 characters (3 in version 2)
    std::string_view rawHeader;  // as stored
    std::string_view rawData;    // as stored
    std::string data;            // usable contents: per-frame unsynchronisation undone, the
                                 // data length indicator and group byte removed
    bool usable = true;          // false for compressed or encrypted frames
    std::uint16_t flags = 0;     // the two flag bytes of versions 3 and 4
};

// Calls onFrame for each frame of frameBytes, in order. The walk stops at the end, at padding
// (a zero byte where an identifier belongs), at an identifier that is not one, and at a frame
// whose size runs past the tag; frames before the damage are still handed over. Returns where
// the walk stopped.
std::size_t WalkId3v2Frames(std::string_view frameBytes, const Id3v2Header& header,
                            const std::function<void(const Id3v2Frame&)>& onFrame);

}  // namespace pelvano::core
