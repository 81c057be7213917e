#include "core/tags/Id3v2Text.h"

#include <algorithm>

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

Id3v2TextForm FormOfFrame(std::string_view data) {
    return data.empty() || encodingOf(data) == kLocal ? Id3v2TextForm::Local : Id3v2TextForm::Utf16;
}

namespace {

// One string of a frame in the form, with its terminator when it is not the last.
std::string encodeString(std::string_view gbk, Id3v2TextForm form, bool terminated) {
    if (form == Id3v2TextForm::Local)
        return terminated ? std::string(gbk) + '\0' : std::string(gbk);
    std::string out("\xFF\xFE");
    out += GbkToUtf16Le(gbk);
    if (terminated) out += std::string(2, '\0');
    return out;
}

std::string encodingByte(Id3v2TextForm form) {
    return std::string(1, static_cast<char>(form));
}

// Bytes of the GB18030 character that starts with these bytes: one, two or four.
std::size_t characterLength(std::string_view bytes) {
    if (static_cast<unsigned char>(bytes[0]) < 0x80 || bytes.size() < 2) return 1;
    const auto second = static_cast<unsigned char>(bytes[1]);
    return second >= '0' && second <= '9' && bytes.size() >= 4 ? 4 : 2;
}

}  // namespace

std::string EncodeId3v2Text(std::string_view gbk, Id3v2TextForm form) {
    return encodingByte(form) + encodeString(gbk, form, false);
}

std::string EncodeId3v2Comment(std::string_view gbk, Id3v2TextForm form) {
    return encodingByte(form) + "chi" + encodeString({}, form, true) +
           encodeString(gbk, form, false);
}

std::string EncodeId3v2Lyrics(std::string_view gbk, Id3v2TextForm form) {
    return encodingByte(form) + encodeString({}, form, true) + encodeString(gbk, form, false);
}

std::vector<std::string_view> SplitForFrames(std::string_view gbk, std::size_t limit,
                                             Id3v2TextForm form) {
    std::vector<std::string_view> pieces;
    while (!gbk.empty()) {
        std::size_t end = std::min(limit, gbk.size());
        if (form == Id3v2TextForm::Utf16 && end < gbk.size()) {
            std::size_t whole = 0;
            while (whole < end) {
                const std::size_t next = whole + characterLength(gbk.substr(whole));
                if (next > end) break;
                whole = next;
            }
            end = whole > 0 ? whole : end;
        }
        pieces.push_back(gbk.substr(0, end));
        gbk.remove_prefix(end);
    }
    return pieces;
}

}  // namespace pelvano::core
