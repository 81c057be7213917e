#include "core/app/JsonText.h"

#include <cstdint>

#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string JsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    while (!utf8.empty()) {
        const char c = utf8.front();
        const std::size_t length = utf8SequenceLength(utf8);
        if (length == 0) {
            out += "\\ufffd";
            utf8.remove_prefix(1);
            continue;
        }
        if (length > 1) {
            out.append(utf8.substr(0, length));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (static_cast<std::uint8_t>(c) < 0x20 || c == 0x7F) {
            out += Format("\\u%04x", static_cast<unsigned>(c));
        } else {
            out += c;
        }
        utf8.remove_prefix(length);
    }
    return out + "\"";
}

}  // namespace pelvano::core
