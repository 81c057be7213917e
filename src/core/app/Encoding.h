#pragma once
// Conversions between the stored code page (GBK, read and written as its superset GB18030) and
// the encodings of the edges: UTF-8 for paths, Qt and the terminal; UTF-16 for ASF texts.
// The C library's iconv does the work. Any thread (each thread keeps its own converters).
#include <string>
#include <string_view>

namespace pelvano::core {

// The UTF-8 byte-order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class InvalidBytes {
    Replace,  // an undecodable byte becomes U+FFFD
    // A reversible text form: an undecodable byte becomes the four characters \xNN, and
    // backslash, tab, CR and LF become \\, \t, \r and \n. EscapedUtf8ToGbk reads it back.
    Escape,
};

std::string GbkToUtf8(std::string_view gbk, InvalidBytes invalid = InvalidBytes::Replace);
std::string EscapedUtf8ToGbk(std::string_view text);
// Characters that cannot be read as UTF-8 become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// UTF-16 in little- or big-endian byte order; an odd trailing byte and unpaired surrogates are
// dropped. Stops at nothing: a terminating zero character is the caller's to remove.
std::string Utf16LeToGbk(std::string_view bytes);
std::string Utf16BeToGbk(std::string_view bytes);
// UTF-16LE without byte-order mark; bytes that are not GB18030 are dropped.
std::string GbkToUtf16Le(std::string_view gbk);
bool IsValidGb18030(std::string_view bytes);

// The GBK form of a UTF-8 text of the program (a Chinese key name, a log message), converted
// once and kept for the program's life. Any thread.
const std::string& Gbk(std::string_view utf8);

}  // namespace pelvano::core
