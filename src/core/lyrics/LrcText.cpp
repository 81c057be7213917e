#include "core/lyrics/LrcText.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

// A line's text as the parser sees it: after the first "]", up to the next one, trimmed.
std::string TextOfLine(std::string_view line) {
    return Trim(GetField(line, "]", 2));
}
std::string TimeOfLine(std::string_view line) {
    return GetField(GetField(line, "]", 1), "[", 2);
}

// "m:s..." rather than an information tag ("ar:", "offset:") or nothing.
bool LooksLikeTime(std::string_view time) {
    const std::string t = Trim(time);
    return !t.empty() && std::isdigit(static_cast<unsigned char>(t[0])) &&
           t.find(':') != std::string::npos;
}

bool IsTimeTag(std::string_view piece) {
    return piece.find(']') != std::string_view::npos && LooksLikeTime(TimeOfLine(piece));
}

// Copies of one shared text per line are limited, so that a line of thousands of tags before a
// long text cannot multiply its size.
constexpr std::size_t kSharedTextBudget = 64 * 1024;

// The pieces of one line, each from a "[" to the next, that give a row: walked from the end so
// that a run of text-less time tags learns the text of the tag ending it. Pieces left without a
// text are dropped here, as the parser would skip them anyway.
void AppendPiecesWithText(std::string_view line, std::size_t first, std::vector<std::string>& out) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = first; pos != std::string_view::npos; pos = line.find('[', pos + 1))
        starts.push_back(pos);
    std::vector<std::string> kept;
    std::string_view carry;  // the rest after "]" of the piece that ends the current run
    std::size_t spent = 0;
    for (std::size_t k = starts.size(); k-- > 0;) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : line.size();
        const std::string_view piece = line.substr(starts[k], end - starts[k]);
        const bool timeTag = IsTimeTag(piece);
        if (!TextOfLine(piece).empty()) {
            kept.emplace_back(piece);
            carry = timeTag ? piece.substr(piece.find(']') + 1) : std::string_view{};
        } else if (!timeTag) {
            carry = {};
        } else if (!carry.empty() && spent + carry.size() <= kSharedTextBudget) {
            kept.emplace_back(std::string(piece.substr(0, piece.find(']') + 1)) +
                              std::string(carry));
            spent += carry.size();
        }
    }
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) out.push_back(std::move(*it));
}

// Length of the well-formed UTF-8 sequence starting at bytes[i] (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or 0.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
    return length;
}

// Bytes that are well-formed UTF-8 and hold at least one multi-byte character: Chinese GBK text
// is almost never that, while a file saved on Linux without a byte order mark always is.
bool IsMultiByteUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceAt(bytes, i);
        if (n == 0) return false;
        multiByte = multiByte || n > 1;
        i += n;
    }
    return multiByte;
}

}  // namespace

std::string LrcFileText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToGbk(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE")) return Utf16LeToGbk(bytes.substr(2));
    if (bytes.starts_with("\xFE\xFF")) return Utf16BeToGbk(bytes.substr(2));
    if (IsMultiByteUtf8(bytes)) return Utf8ToGbk(bytes);
    return std::string(bytes);
}

std::vector<std::string> SplitLyricLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

void ExpandTimeTags(std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (std::string& line : lines) {
        const std::size_t first = line.find('[');
        if (first == std::string::npos || line.find('[', first + 1) == std::string::npos) {
            out.push_back(std::move(line));
        } else {
            AppendPiecesWithText(line, first, out);
        }
    }
    lines = std::move(out);
}

void ParseLyricLines(const std::vector<std::string>& lines, LyricsTable& table) {
    struct Entry {
        int ms;
        std::string time;
        std::string text;
    };
    std::vector<Entry> entries;
    for (const std::string& line : lines) {
        std::string text = TextOfLine(line);
        if (text.empty()) continue;
        std::string time = TimeOfLine(line);
        // A line without a real time stays behind the line before it.
        const int ms = LooksLikeTime(time) ? ParseMinSec(time)
                       : entries.empty()   ? 0
                                           : entries.back().ms;
        entries.push_back({ms, std::move(time), std::move(text)});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.ms < b.ms; });
    table.reset();
    const std::size_t maxRows = static_cast<std::size_t>(std::numeric_limits<int>::max() - 1);
    table.setRowCount(static_cast<int>(std::min(entries.size(), maxRows)) + 1);
    for (std::size_t i = 0; i < entries.size() && i < maxRows; ++i) {
        const int row = static_cast<int>(i) + 1;
        table.setCell(kLyricTimeCol, row, std::move(entries[i].time));
        table.setCell(kLyricTextCol, row, std::move(entries[i].text));
    }
}

int LyricOffsetMs(const std::vector<std::string>& lines) {
    static constexpr std::string_view kTag = "[OFFSET:";
    for (const std::string& line : lines) {
        const std::string trimmed = Trim(line.substr(0, std::min<std::size_t>(line.size(), 64)));
        if (trimmed.size() < kTag.size() || UpperAscii(trimmed.substr(0, kTag.size())) != kTag)
            continue;
        const std::size_t close = trimmed.find(']');
        if (close == std::string::npos) continue;
        return StrToIntDef(Trim(trimmed.substr(kTag.size(), close - kTag.size())), 0);
    }
    return 0;
}

std::string OffsetTagLine(int offsetMs) {
    return Format("[offset:%d]", offsetMs);
}

int WholeSecondsOf(std::string_view time) {
    const long long m = StrToIntDef(Trim(GetField(time, ":", 1)), 0);
    const long long s = StrToIntDef(Trim(GetField(GetField(time, ":", 2), ".", 1)), 0);
    return static_cast<int>(std::clamp(m * 60 + s,
                                       static_cast<long long>(std::numeric_limits<int>::min()),
                                       static_cast<long long>(std::numeric_limits<int>::max())));
}

std::string FormatWholeSeconds(long long seconds) {
    seconds = std::clamp(seconds, 0LL, static_cast<long long>(std::numeric_limits<int>::max()));
    return Format("%2.2lld:%2.2lld.00", seconds / 60, seconds % 60);
}

}  // namespace pelvano::core
