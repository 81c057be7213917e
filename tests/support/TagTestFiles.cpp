#include "support/TagTestFiles.h"

namespace pelvano::test {

namespace {

std::string field(std::string_view text, std::size_t size) {
    std::string out(text.substr(0, size));
    out.resize(size, '\0');
    return out;
}

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string le(std::uint64_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

int hexDigit(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

}  // namespace

std::string Id3v1Block(std::string_view title, std::string_view artist, std::string_view album,
                       std::string_view year, std::string_view comment) {
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           field(comment, 30) + std::string(1, '\x0C');
}

std::string Syncsafe(std::uint32_t v) {
    return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F),
            static_cast<char>((v >> 7) & 0x7F), static_cast<char>(v & 0x7F)};
}

std::uint32_t SizeValueOf(std::string_view file) {
    std::uint32_t v = 0;
    for (int i = 6; i < 10; ++i) v = (v << 7) | (static_cast<unsigned char>(file[i]) & 0x7F);
    return v;
}

std::string Id3v2Frame(std::string_view id, std::string_view data, int version,
                       std::uint16_t flags) {
    const auto size = static_cast<std::uint32_t>(data.size());
    return std::string(id) + (version == 4 ? Syncsafe(size) : be32(size)) +
           static_cast<char>(flags >> 8) + static_cast<char>(flags & 0xFF) + std::string(data);
}

std::string TextFrame(std::string_view id, std::string_view text, int version) {
    return Id3v2Frame(id, std::string(1, '\0') + std::string(text), version);
}

std::string LyricsFrame(std::string_view text) {
    return TextFrame("TXXX", std::string(1, '\0') + std::string(text));
}

std::string StandardTag(std::string_view frames, int version, std::size_t padding) {
    return std::string("ID3") + static_cast<char>(version) + std::string(2, '\0') +
           Syncsafe(static_cast<std::uint32_t>(frames.size() + padding)) + std::string(frames) +
           std::string(padding, '\0');
}

std::string OlderSystemTag(std::string_view frames) {
    return std::string("ID3\x03\x00\x00", 6) +
           Syncsafe(static_cast<std::uint32_t>(10 + frames.size())) + std::string(frames);
}

std::string MpegAudio(int count) {
    std::string audio;
    for (int i = 0; i < count; ++i) {
        audio += "\xFF\xFB\x90\x64";
        for (int j = 0; j < 413; ++j) audio += static_cast<char>((i * 31 + j * 7) & 0x7F);
    }
    return audio;
}

std::string AsfGuid(std::string_view text) {
    std::string raw;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-') continue;
        raw += static_cast<char>(hexDigit(text[i]) * 16 + hexDigit(text[i + 1]));
        ++i;
    }
    // Data1, Data2 and Data3 are stored little-endian.
    return std::string{raw[3], raw[2], raw[1], raw[0], raw[5], raw[4], raw[7], raw[6]} +
           raw.substr(8);
}

std::string AsfObject(std::string_view guidText, std::string_view body) {
    return AsfGuid(guidText) + le(24 + body.size(), 8) + std::string(body);
}

std::string AsfHeader(const std::vector<std::string>& children, std::int64_t sizeDelta) {
    std::string body = le(children.size(), 4) + "\x01\x02";
    for (const std::string& child : children) body += child;
    const auto size =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(24 + body.size()) + sizeDelta);
    return AsfGuid("75B22630-668E-11CF-A6D9-00AA0062CE6C") + le(size, 8) + body;
}

std::string Utf16z(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += le(c, 2);
    return out + std::string(2, '\0');
}

std::string ContentDescription(const std::vector<std::string>& fiveTexts) {
    std::string body;
    for (const std::string& text : fiveTexts) body += Le16(static_cast<std::uint16_t>(text.size()));
    for (const std::string& text : fiveTexts) body += text;
    return AsfObject("75B22633-668E-11CF-A6D9-00AA0062CE6C", body);
}

std::string ExtendedContentDescription(const std::vector<AsfDescriptor>& descriptors) {
    std::string body = Le16(static_cast<std::uint16_t>(descriptors.size()));
    for (const AsfDescriptor& d : descriptors)
        body += Le16(static_cast<std::uint16_t>(d.name.size())) + d.name + Le16(d.type) +
                Le16(static_cast<std::uint16_t>(d.value.size())) + d.value;
    return AsfObject("D2D0A440-E307-11D2-97F0-00A0C95EA850", body);
}

std::string Le16(std::uint16_t value) {
    return le(value, 2);
}
std::string Le32(std::uint32_t value) {
    return le(value, 4);
}

}  // namespace pelvano::test
