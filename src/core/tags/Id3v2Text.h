#pragma once
// The texts of ID3v2 frames, decoded by their encoding byte into the stored code page (GBK):
// 0 the local code page as stored (what local writers put there), 1 UTF-16 with byte-order
// mark, 2 UTF-16BE, 3 UTF-8. Zero characters (terminators, separators) are dropped, as the
// older system always did. Pure functions; any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tags/TagTextEncoding.h"

namespace pelvano::core {

// A text frame: encoding byte, then the text.
std::string DecodeId3v2Text(std::string_view data);
// COMM: encoding byte, language (3 bytes), description, terminator, text. Gives the text.
std::string DecodeId3v2Comment(std::string_view data);
// TXXX: encoding byte, description, terminator, value. The older system writes the lyrics
// with no description and no terminator. Gives the lyrics text, or nothing for a value that
// another program stored under a name of its own.
std::optional<std::string> DecodeId3v2Lyrics(std::string_view data);

// The form a frame's text was stored in (an empty frame reads as Local).
Id3v2TextForm FormOfFrame(std::string_view data);

// The frame data this system writes, in the given form. A text frame: encoding byte, text
// without a terminator.
std::string EncodeId3v2Text(std::string_view gbk, Id3v2TextForm form);
// COMM: encoding byte, "chi", an empty description with its terminator, the text.
std::string EncodeId3v2Comment(std::string_view gbk, Id3v2TextForm form);
// TXXX lyrics: encoding byte, an empty description with its terminator, the text. The older
// system drops the zero bytes and reads the same text; standard readers see an unnamed value.
std::string EncodeId3v2Lyrics(std::string_view gbk, Id3v2TextForm form);

// The pieces of a text for frames of at most limit stored bytes each. Local texts are cut at
// any byte (the older system joins the bytes again); UTF-16 texts only between characters.
std::vector<std::string_view> SplitForFrames(std::string_view gbk, std::size_t limit,
                                             Id3v2TextForm form);

}  // namespace pelvano::core
