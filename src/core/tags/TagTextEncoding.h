#pragma once
// How the tag writer stores the texts it writes: the station setting [Linux] TagTextEncoding,
// and the form of one text in a version 2.3 frame. Any thread.
#include <string>
#include <string_view>

namespace pelvano::core {

enum class TagTextEncoding {
    // ASCII texts as encoding 0, every other text as UTF-16 (what today's readers expect).
    Unicode,
    // Every text as encoding 0 with the stored (GBK) bytes, as the older Windows system reads
    // them; for stations that still share their files with it.
    Gbk,
};

// "GBK" in any letter case gives Gbk; anything else (the key missing included) Unicode.
TagTextEncoding ReadTagTextEncoding(const std::string& settingsFile);

// The form of a text in a frame: its encoding byte.
enum class Id3v2TextForm : unsigned char {
    Local = 0,  // the stored bytes
    Utf16 = 1,  // UTF-16LE with a byte-order mark before each string
};

// The form of a text that is new or changed.
Id3v2TextForm FormForText(std::string_view gbk, TagTextEncoding setting);

}  // namespace pelvano::core
