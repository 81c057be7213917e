#include "core/tags/Id3v2Layout.h"

#include "core/tags/TID3v1Tag.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::uint64_t kFirstRead = 4096;  // the header and most whole tags in one read
constexpr unsigned kFlagUnsynchronised = 0x80;
constexpr unsigned kFlagExtendedHeader = 0x40;
constexpr unsigned kFlagFooter = 0x10;

unsigned byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// A plausible MPEG audio frame header: 11 sync bits, and no reserved version, layer, bit rate or
// sample rate.
bool isMpegFrameAt(std::string_view bytes, std::uint64_t pos) {
    if (pos + 4 > bytes.size()) return false;
    const unsigned b1 = byteAt(bytes, pos + 1), b2 = byteAt(bytes, pos + 2);
    return byteAt(bytes, pos) == 0xFF && (b1 & 0xE0) == 0xE0 && ((b1 >> 3) & 3) != 1 &&
           ((b1 >> 1) & 3) != 0 && (b2 >> 4) != 0xF && ((b2 >> 2) & 3) != 3;
}

std::string undoUnsynchronisation(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (byteAt(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

bool isFrameId(std::string_view id) {
    for (char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// Whether a frame (or the end of the frames, or padding) can begin at pos.
bool frameCanStartAt(std::string_view bytes, std::uint64_t pos) {
    if (pos >= bytes.size() || bytes[pos] == '\0') return pos <= bytes.size();
    return bytes.size() - pos >= 4 && isFrameId(bytes.substr(pos, 4));
}

// The data size of the frame whose header starts at pos. Version 2.4 writers are supposed to
// store it syncsafe, but some store it plainly: a size with a high bit set cannot be syncsafe,
// and a syncsafe reading that lands inside the next frame where the plain one does not is taken
// as plain.
std::uint64_t frameSize(std::string_view bytes, std::size_t pos, int version) {
    const std::string_view header = bytes.substr(pos);
    if (version == 2)
        return (byteAt(header, 3) << 16) | (byteAt(header, 4) << 8) | byteAt(header, 5);
    const std::string_view size = header.substr(4, 4);
    const std::uint64_t plain = ReadBigEndian32(size);
    if (version != 4 ||
        ((byteAt(size, 0) | byteAt(size, 1) | byteAt(size, 2) | byteAt(size, 3)) & 0x80))
        return plain;
    const std::uint64_t syncsafe = ReadSyncsafe(size);
    if (syncsafe != plain && !frameCanStartAt(bytes, pos + 10 + syncsafe) &&
        frameCanStartAt(bytes, pos + 10 + plain))
        return plain;
    return syncsafe;
}

// The frame's contents without the extras its format flags announce.
std::string usableData(Id3v2Frame& frame, const Id3v2Header& header) {
    std::string_view data = frame.rawData;
    const unsigned format = frame.flags & 0xFF;
    if (header.version == 2) return std::string(data);
    auto skip = [&data](std::size_t n) { data.remove_prefix(n < data.size() ? n : data.size()); };
    if (header.version != 4) {
        frame.usable = (format & 0xC0) == 0;  // compressed or encrypted
        if (format & 0x20) skip(1);           // group identifier
        return std::string(data);
    }
    frame.usable = (format & 0x0C) == 0;
    if (format & 0x40) skip(1);
    if (format & 0x01) skip(4);  // data length indicator
    if ((format & 0x02) || (header.flags & kFlagUnsynchronised)) return undoUnsynchronisation(data);
    return std::string(data);
}

// The older system wrote no flags and no padding: its frames end exactly at the size value,
// where the audio begins.
bool isOlderSystemTag(std::string_view head, const Id3v2Header& h) {
    const std::uint64_t older = h.sizeValue;
    if (h.flags != 0 || older < kHeaderSize || !isMpegFrameAt(head, older)) return false;
    const std::string_view frames = head.substr(kHeaderSize, older - kHeaderSize);
    return WalkId3v2Frames(frames, h, [](const Id3v2Frame&) {}) == frames.size();
}

}  // namespace

std::uint32_t ReadSyncsafe(std::string_view b) {
    return ((byteAt(b, 0) & 0x7F) << 21) | ((byteAt(b, 1) & 0x7F) << 14) |
           ((byteAt(b, 2) & 0x7F) << 7) | (byteAt(b, 3) & 0x7F);
}

std::string WriteSyncsafe(std::uint32_t v) {
    return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F),
            static_cast<char>((v >> 7) & 0x7F), static_cast<char>(v & 0x7F)};
}

std::uint32_t ReadBigEndian32(std::string_view b) {
    return (static_cast<std::uint32_t>(byteAt(b, 0)) << 24) | (byteAt(b, 1) << 16) |
           (byteAt(b, 2) << 8) | byteAt(b, 3);
}

std::string WriteBigEndian32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

Id3v2Layout InspectId3v2(const TagFile& file) {
    Id3v2Layout layout;
    const std::uint64_t size = file.size();
    std::string head = file.readAt(0, kFirstRead);
    std::uint64_t tagEnd = 0;
    if (head.compare(0, 3, "ID3") != 0) {
        layout.audioStart = 0;
    } else if (head.size() >= kHeaderSize) {
        layout.hasTag = true;
        Id3v2Header& h = layout.header;
        h.version = byteAt(head, 3);
        h.revision = byteAt(head, 4);
        h.flags = byteAt(head, 5);
        h.sizeValue = ReadSyncsafe(std::string_view(head).substr(6, 4));
        const std::uint64_t older = h.sizeValue;
        const std::uint64_t standard =
            kHeaderSize + older + (h.version == 4 && (h.flags & kFlagFooter) ? 10 : 0);
        if (head.size() < standard + 4 && size > head.size()) head = file.readAt(0, standard + 4);
        const bool standardFits = standard <= size;
        if (isOlderSystemTag(head, h) && !(standardFits && isMpegFrameAt(head, standard))) {
            layout.audioStart = older;
            tagEnd = older;
        } else if (standardFits) {
            layout.audioStart = standard;
            tagEnd = kHeaderSize + older;
        } else {
            // An older file holding nothing but its tag; anything else runs past the file.
            if (older >= kHeaderSize && older == size) layout.audioStart = older;
            tagEnd = size < kHeaderSize + older ? size : kHeaderSize + older;
        }
        std::uint64_t first = kHeaderSize;
        if ((h.version == 3 || h.version == 4) && (h.flags & kFlagExtendedHeader) &&
            head.size() >= kHeaderSize + 4) {
            const std::string_view ext = std::string_view(head).substr(kHeaderSize, 4);
            first += h.version == 4 ? ReadSyncsafe(ext) : std::uint64_t{ReadBigEndian32(ext)} + 4;
        }
        if (first < tagEnd) {
            const std::string_view frames = std::string_view(head).substr(first, tagEnd - first);
            layout.frameBytes = (h.version != 4 && (h.flags & kFlagUnsynchronised))
                                    ? undoUnsynchronisation(frames)
                                    : std::string(frames);
        }
    }
    layout.audioEnd = size;
    return layout;
}

void LocateAudioEnd(const TagFile& file, Id3v2Layout& layout) {
    const std::uint64_t size = file.size();
    if (layout.audioStart && size >= TID3v1Tag::kSize &&
        size - TID3v1Tag::kSize >= *layout.audioStart &&
        TID3v1Tag::isTagBlock(file.readAt(size - TID3v1Tag::kSize, TID3v1Tag::kSize))) {
        layout.hasV1Tag = true;
        layout.audioEnd = size - TID3v1Tag::kSize;
    }
}

std::size_t WalkId3v2Frames(std::string_view bytes, const Id3v2Header& header,
                            const std::function<void(const Id3v2Frame&)>& onFrame) {
    const std::size_t headerSize = header.version == 2 ? 6 : 10;
    const std::size_t idSize = header.version == 2 ? 3 : 4;
    std::size_t pos = 0;
    while (bytes.size() - pos >= headerSize) {
        Id3v2Frame frame;
        frame.rawHeader = bytes.substr(pos, headerSize);
        frame.id = frame.rawHeader.substr(0, idSize);
        if (!isFrameId(frame.id)) break;
        const std::uint64_t size = frameSize(bytes, pos, header.version);
        if (size > bytes.size() - pos - headerSize) break;
        frame.rawData = bytes.substr(pos + headerSize, size);
        if (header.version != 2)
            frame.flags = static_cast<std::uint16_t>((byteAt(frame.rawHeader, 8) << 8) |
                                                     byteAt(frame.rawHeader, 9));
        frame.data = usableData(frame, header);
        onFrame(frame);
        pos += headerSize + size;
    }
    return pos;
}

}  // namespace pelvano::core
