#include "core/tags/Id3v2Text.h"

#include "core/app/Encoding.h"

namespace pelvano::core {

namespace {

enum Encoding : unsigned char { kLocal = 0, kUtf16Bom = 1, kUtf16Be = 2, kUtf8 = 3 };

bool isWide(unsigned encoding) {
    return encoding == kUtf16Bom || encoding == kUtf16Be;
}

std::string withoutZeros(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0') out += c;
    }
    return out;
}

// UTF-16 code units in the order given by the latest byte-order mark (big-endian before any
// when bigEndian), zero characters and marks dropped, as little-endian bytes.
std::string utf16ToLittleEndian(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) {
            bigEndian = a == 0xFE;
            continue;
        }
        if (a == 0 && b == 0) continue;
        out += static_cast<char>(bigEndian ? b : a);
        out += static_cast<char>(bigEndian ? a : b);
    }
    return out;
}

std::string decode(unsigned encoding, std::string_view text) {
    switch (encoding) {
        case kUtf16Bom:
        case kUtf16Be:
            return Utf16LeToGbk(utf16ToLittleEndian(text, encoding == kUtf16Be));
        case kUtf8:
            return Utf8ToGbk(withoutZeros(text));
        default:
            return withoutZeros(text);
    }
}

// The position after the terminator of a string that starts at from, or npos without one.
std::size_t afterTerminator(std::string_view bytes, unsigned encoding, std::size_t from) {
    if (!isWide(encoding)) {
        const std::size_t zero = bytes.find('\0', from);
        return zero == std::string_view::npos ? zero : zero + 1;
    }
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0') return i + 2;
    }
    return std::string_view::npos;
}

unsigned encodingOf(std::string_view data) {
    return static_cast<unsigned char>(data[0]);
}

}  // namespace

std::string DecodeId3v2Text(std::string_view data) {
    if (data.empty()) return {};
    return decode(encodingOf(data), data.substr(1));
}

std::string DecodeId3v2Comment(std::string_view data) {
    if (data.size() <= 4) return {};
    const unsigned encoding = encodingOf(data);
    const std::size_t text = afterTerminator(data, encoding, 4);
    // Without a terminator the whole rest is the text.
    return decode(encoding, data.substr(text == std::string_view::npos ? 4 : text));
}

std::optional<std::string> DecodeId3v2Lyrics(std::string_view data) {
    if (data.empty()) return std::string();
    const unsigned encoding = encodingOf(data);
    const std::size_t value = afterTerminator(data, encoding, 1);
    if (value == std::string_view::npos) return decode(encoding, data.substr(1));
    std::string name = decode(encoding, data.substr(1, value - 1));
    std::string text = decode(encoding, data.substr(value));
    if (!name.empty() && !text.empty()) return std::nullopt;
    return name + text;
}

std::string EncodeId3v2Text(std::string_view gbk) {
    std::string data(1, '\0');
    data += gbk;
    return data;
}

}  // namespace pelvano::core
