#pragma once
// The texts of ID3v2 frames, decoded by their encoding byte into the stored code page (GBK):
// 0 the local code page as stored (what local writers put there), 1 UTF-16 with byte-order
// mark, 2 UTF-16BE, 3 UTF-8. Zero characters (terminators, separators) are dropped, as the
// older system always did. Pure functions; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace pelvano::core {

// A text frame: encoding byte, then the text.
std::string DecodeId3v2Text(std::string_view data);
// COMM: encoding byte, language (3 bytes), description, terminator, text. Gives the text.
std::string DecodeId3v2Comment(std::string_view data);
// TXXX: encoding byte, description, terminator, value. The older system writes the lyrics
// with no description and no terminator. Gives the lyrics text, or nothing for a value that
// another program stored under a name of its own.
std::optional<std::string> DecodeId3v2Lyrics(std::string_view data);

// The frame data this system writes: encoding byte 0 and the stored bytes.
std::string EncodeId3v2Text(std::string_view gbk);

}  // namespace pelvano::core
