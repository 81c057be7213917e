#include "core/tags/TWma_Tag.h"

#include <algorithm>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

// GUIDs in their binary form (the first three groups little-endian).
constexpr std::string_view kHeaderObject{
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16};
constexpr std::string_view kContentDescription{
    "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16};
constexpr std::string_view kExtendedContentDescription{
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16};
constexpr std::uint64_t kObjectHeaderSize = 24;
constexpr std::uint64_t kFirstChild = 30;
constexpr unsigned kValueUnicode = 0;
constexpr unsigned kValueNumber32 = 3;

std::uint64_t littleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// Reads little-endian numbers and byte runs from a body; a read past its end fails and stops
// every later read.
class BodyReader {
  public:
    explicit BodyReader(std::string_view body) : rest_(body) {}
    bool ok() const { return ok_; }
    unsigned u16() { return static_cast<unsigned>(littleEndian(bytes(2))); }
    std::string_view bytes(std::size_t n) {
        if (!ok_ || n > rest_.size()) {
            ok_ = false;
            return {};
        }
        const std::string_view run = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return run;
    }

  private:
    std::string_view rest_;
    bool ok_ = true;
};

// A UTF-16LE text up to its terminating zero character (or its end: some writers leave it out).
std::string_view withoutTerminator(std::string_view utf16) {
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        if (utf16[i] == '\0' && utf16[i + 1] == '\0') return utf16.substr(0, i);
    }
    return utf16.substr(0, utf16.size() & ~std::size_t{1});
}

std::string textOf(std::string_view utf16) {
    return Utf16LeToGbk(withoutTerminator(utf16));
}

bool isUtf16Name(std::string_view utf16, std::string_view ascii) {
    if (utf16.size() != ascii.size() * 2) return false;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (utf16[2 * i] != ascii[i] || utf16[2 * i + 1] != '\0') return false;
    }
    return true;
}

}  // namespace

void TWma_Tag::clear() {
    for (std::string* text :
         {&WMFSDKVersion, &Title, &Author, &Rights, &Description, &AlbumTitle, &Year, &Genre,
          &TrackNumber, &Track, &UserWebURL, &URL, &Lyrics, &EncodedBy})
        text->clear();
    HeaderSize = 0;
}

std::string* TWma_Tag::attributeNamed(std::string_view utf16Name) {
    const std::pair<std::string_view, std::string*> kAttributes[] = {
        {"WMFSDKVersion", &WMFSDKVersion},
        {"WM/AlbumTitle", &AlbumTitle},
        {"WM/Year", &Year},
        {"WM/Genre", &Genre},
        {"WM/TrackNumber", &TrackNumber},
        {"WM/Track", &Track},
        {"WM/UserWebURL", &UserWebURL},
        {"WM/URL", &URL},
        {"WM/Lyrics", &Lyrics},
        {"WM/EncodedBy", &EncodedBy},
    };
    for (const auto& [name, field] : kAttributes) {
        if (isUtf16Name(utf16Name, name)) return field;
    }
    return nullptr;
}

void TWma_Tag::readContentDescription(std::string_view body) {
    BodyReader in(body);
    unsigned lengths[5];
    for (unsigned& length : lengths) length = in.u16();
    std::string* texts[] = {&Title, &Author, &Rights, &Description};
    for (std::size_t i = 0; i < 4 && in.ok(); ++i) {
        const std::string_view bytes = in.bytes(lengths[i]);
        if (in.ok()) *texts[i] = textOf(bytes);
    }
}

void TWma_Tag::readExtendedContentDescription(std::string_view body) {
    BodyReader in(body);
    const unsigned count = in.u16();
    for (unsigned i = 0; i < count && in.ok(); ++i) {
        const std::string_view name = withoutTerminator(in.bytes(in.u16()));
        const unsigned type = in.u16();
        const std::string_view value = in.bytes(in.u16());
        std::string* field = in.ok() ? attributeNamed(name) : nullptr;
        if (!field) continue;
        if (type == kValueUnicode) {
            *field = textOf(value);
        } else if (type == kValueNumber32 && value.size() >= 4 &&
                   (field == &TrackNumber || field == &Track)) {
            *field = std::to_string(littleEndian(value.substr(0, 4)));
        }
    }
}

bool TWma_Tag::ReadFromFile(const std::string& fileName) {
    clear();
    if (!FileExists(fileName)) return false;
    const TagFile file(fileName);
    const std::string head = file.readAt(0, kObjectHeaderSize);
    if (head.size() < kObjectHeaderSize || head.substr(0, 16) != kHeaderObject) return false;
    const std::uint64_t declared = littleEndian(std::string_view(head).substr(16, 8));
    HeaderSize = static_cast<std::int64_t>(declared);
    // A damaged header is walked as far as its objects are whole and inside the file.
    const std::uint64_t end = std::min(declared, file.size());
    std::uint64_t pos = kFirstChild;
    while (pos < end && end - pos >= kObjectHeaderSize) {
        const std::string object = file.readAt(pos, kObjectHeaderSize);
        const std::uint64_t size = littleEndian(std::string_view(object).substr(16, 8));
        if (size < kObjectHeaderSize || size > end - pos) break;
        const std::string_view guid = std::string_view(object).substr(0, 16);
        if (guid == kContentDescription) {
            readContentDescription(file.readAt(pos + kObjectHeaderSize, size - kObjectHeaderSize));
        } else if (guid == kExtendedContentDescription) {
            readExtendedContentDescription(
                file.readAt(pos + kObjectHeaderSize, size - kObjectHeaderSize));
        }
        pos += size;
    }
    return true;
}

}  // namespace pelvano::core
