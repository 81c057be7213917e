#pragma once
// The bytes of an ".lrc" file and the stored (GBK) text they hold. One rule reads every lyrics
// file (the loader, the import, the command line): a byte order mark (UTF-8, UTF-16) decides;
// else bytes that are well-formed UTF-8 with multi-byte characters (the usual form on Linux)
// are UTF-8; anything else is GB18030, as the Windows system wrote it. A file is written back in
// the encoding it was read in, so an operator's UTF-8 file never turns into GBK. Any thread.
#include <optional>
#include <string>
#include <string_view>

#include "core/tags/TagTextEncoding.h"

namespace pelvano::core {

enum class LyricsFileEncoding { Gbk, Utf8, Utf8WithBom, Utf16LeWithBom, Utf16BeWithBom };

struct LyricsFileText {
    std::string text;  // stored (GBK)
    // What the bytes showed; empty when they read the same in every encoding (ASCII alone).
    std::optional<LyricsFileEncoding> encoding;
};

LyricsFileText DecodeLyricsFile(std::string_view bytes);
// The stored text as the bytes of a file in that encoding.
std::string EncodeLyricsFile(std::string_view text, LyricsFileEncoding encoding);
// A new lyrics file follows the station's tag text setting: UTF-8 without a byte order mark,
// or GBK for stations that share their files with the older system.
LyricsFileEncoding NewLyricsFileEncoding(TagTextEncoding setting);

// The file decoded; empty when it is missing, not a regular file or cannot be read.
std::optional<LyricsFileText> ReadLyricsFile(const std::string& nativePath);
// Replaces the file atomically: in the encoding of the file already there, or in newFile for a
// new file and one whose bytes did not tell. False with a message in *error on failure.
bool WriteLyricsFile(const std::string& nativePath, std::string_view text,
                     LyricsFileEncoding newFile, std::string* error);

}  // namespace pelvano::core
