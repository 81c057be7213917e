#pragma once
// Builders of tagged files, byte by byte, for the tag tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelvano::test {

// ID3v1: the five fields padded with zero bytes; fields given longer than their room are cut.
std::string Id3v1Block(std::string_view title, std::string_view artist = {},
                       std::string_view album = {}, std::string_view year = {},
                       std::string_view comment = {});

// An ID3v2 frame as versions 3 (plain size) and 4 (syncsafe size) store it.
std::string Id3v2Frame(std::string_view id, std::string_view data, int version = 3,
                       std::uint16_t flags = 0);
// A text frame of encoding 0 (stored bytes).
std::string TextFrame(std::string_view id, std::string_view text, int version = 3);
// A lyrics frame as this system writes it: TXXX, encoding 0, an empty description with its
// terminator, the text.
std::string LyricsFrame(std::string_view text);
// A tag whose size value counts what follows the header (frames and padding).
std::string StandardTag(std::string_view frames, int version = 3, std::size_t padding = 0);
// A tag as the older Windows system wrote it: the size value counts the header too.
std::string OlderSystemTag(std::string_view frames);
std::string Syncsafe(std::uint32_t value);
std::uint32_t SizeValueOf(std::string_view file);

// count MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) of varied bytes.
std::string MpegAudio(int count);

// ASF pieces: objects by GUID text, UTF-16LE texts with their terminator.
std::string AsfGuid(std::string_view text);  // "75B22630-668E-11CF-A6D9-00AA0062CE6C"
std::string AsfObject(std::string_view guidText, std::string_view body);
std::string AsfHeader(const std::vector<std::string>& children, std::int64_t sizeDelta = 0);
std::string Utf16z(std::u16string_view text);
std::string ContentDescription(const std::vector<std::string>& fiveTexts);
struct AsfDescriptor {
    std::string name;  // UTF-16LE with terminator
    std::uint16_t type;
    std::string value;
};
std::string ExtendedContentDescription(const std::vector<AsfDescriptor>& descriptors);
std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);

}  // namespace pelvano::test
