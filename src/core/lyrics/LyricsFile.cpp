#include "core/lyrics/LyricsFile.h"

#include <algorithm>

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"

namespace pelvano::core {

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

enum class Utf8Form { NotUtf8, Ascii, MultiByte };

// Chinese GBK text is almost never well-formed multi-byte UTF-8, while a file saved on Linux
// without a byte order mark always is.
Utf8Form Utf8FormOf(std::string_view bytes) {
    if (!IsValidUtf8(bytes)) return Utf8Form::NotUtf8;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? Utf8Form::Ascii : Utf8Form::MultiByte;
}

std::string SwappedPairs(std::string bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

}  // namespace

LyricsFileText DecodeLyricsFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return {Utf8ToGbk(bytes.substr(kUtf8Bom.size())), LyricsFileEncoding::Utf8WithBom};
    if (bytes.starts_with(kUtf16LeBom))
        return {Utf16LeToGbk(bytes.substr(kUtf16LeBom.size())), LyricsFileEncoding::Utf16LeWithBom};
    if (bytes.starts_with(kUtf16BeBom))
        return {Utf16BeToGbk(bytes.substr(kUtf16BeBom.size())), LyricsFileEncoding::Utf16BeWithBom};
    switch (Utf8FormOf(bytes)) {
        case Utf8Form::MultiByte:
            return {Utf8ToGbk(bytes), LyricsFileEncoding::Utf8};
        case Utf8Form::Ascii:
            return {std::string(bytes), std::nullopt};
        case Utf8Form::NotUtf8:
            break;
    }
    return {std::string(bytes), LyricsFileEncoding::Gbk};
}

std::string EncodeLyricsFile(std::string_view text, LyricsFileEncoding encoding) {
    switch (encoding) {
        case LyricsFileEncoding::Utf8:
            return GbkToUtf8(text);
        case LyricsFileEncoding::Utf8WithBom:
            return std::string(kUtf8Bom) + GbkToUtf8(text);
        case LyricsFileEncoding::Utf16LeWithBom:
            return std::string(kUtf16LeBom) + GbkToUtf16Le(text);
        case LyricsFileEncoding::Utf16BeWithBom:
            return std::string(kUtf16BeBom) + SwappedPairs(GbkToUtf16Le(text));
        case LyricsFileEncoding::Gbk:
            break;
    }
    return std::string(text);
}

LyricsFileEncoding NewLyricsFileEncoding(TagTextEncoding setting) {
    return setting == TagTextEncoding::Gbk ? LyricsFileEncoding::Gbk : LyricsFileEncoding::Utf8;
}

std::optional<LyricsFileText> ReadLyricsFile(const std::string& nativePath) {
    std::string bytes;
    if (!FileExists(nativePath) || !ReadFileBytes(nativePath, bytes)) return std::nullopt;
    return DecodeLyricsFile(bytes);
}

bool WriteLyricsFile(const std::string& nativePath, std::string_view text,
                     LyricsFileEncoding newFile, std::string* error) {
    const std::optional<LyricsFileText> old = ReadLyricsFile(nativePath);
    const LyricsFileEncoding encoding = old && old->encoding ? *old->encoding : newFile;
    return WriteFileAtomically(nativePath, EncodeLyricsFile(text, encoding), error);
}

}  // namespace pelvano::core
