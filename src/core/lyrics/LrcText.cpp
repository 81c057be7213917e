#include "core/lyrics/LrcText.h"

#include <algorithm>
#include <cctype>
#include <limits>

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

}  // namespace

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
