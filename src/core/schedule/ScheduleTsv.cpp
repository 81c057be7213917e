#include "core/schedule/ScheduleTsv.h"

#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleFile.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::core {

namespace {

constexpr std::string_view kUnterminated = "\\e";

bool isHexLine(std::string_view stored) {
    if (stored.size() % 2) return false;
    for (char c : stored) {
        if (HexDigitValue(c) < 0) return false;
    }
    return true;
}

// True when the escaped field ends with the marker itself, not with an escaped backslash + 'e'.
bool endsWithMarker(std::string_view field) {
    if (field.size() < 2 || field.substr(field.size() - 2) != kUnterminated) return false;
    std::size_t backslashes = 0;
    for (std::size_t i = field.size() - 1; i-- > 0 && field[i] == '\\';) ++backslashes;
    return backslashes % 2 == 1;
}

std::string escaped(std::string_view gbk) { return GbkToUtf8(gbk, InvalidBytes::Escape); }

}  // namespace

std::string ScheduleFileToTsv(std::string_view fileBytes, std::vector<std::string>* warnings) {
    std::string out;
    const auto& header = ScheduleHeaderTexts();
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i) out += '\t';
        out += GbkToUtf8(header[i]);
    }
    out += '\n';
    int lineNumber = 0;
    ForEachScheduleLine(fileBytes, [&](std::string_view stored) {
        ++lineNumber;
        if (warnings && !isHexLine(stored)) {
            warnings->push_back("line " + std::to_string(lineNumber) +
                                " is not pairs of hexadecimal digits; it will not be rebuilt byte for byte");
        }
        const std::string line = UnscrambleLine(stored);
        std::string_view plain = line;
        bool first = true;
        while (true) {
            const auto pos = plain.find(kCellSeparator);
            if (!first) out += '\t';
            first = false;
            if (pos == std::string_view::npos) {
                out += escaped(plain);
                out += kUnterminated;
                break;
            }
            out += escaped(plain.substr(0, pos));
            plain.remove_prefix(pos + kCellSeparator.size());
            if (plain.empty()) break;
        }
        out += '\n';
    });
    return out;
}

std::string TsvToScheduleFile(std::string_view tsv) {
    std::string out;
    bool header = true;
    std::size_t start = 0;
    while (start < tsv.size()) {
        std::size_t end = tsv.find('\n', start);
        if (end == std::string_view::npos) end = tsv.size();
        std::string_view line = tsv.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (header) {
            header = false;
            continue;
        }
        std::string plain;
        while (true) {
            const auto tab = line.find('\t');
            std::string_view field = line.substr(0, tab);
            const bool last = tab == std::string_view::npos;
            const bool unterminated = last && endsWithMarker(field);
            if (unterminated) field.remove_suffix(kUnterminated.size());
            plain += EscapedUtf8ToGbk(field);
            if (!unterminated) plain += kCellSeparator;
            if (last) break;
            line.remove_prefix(tab + 1);
        }
        out += ScrambleLine(plain);
        out += "\r\n";
    }
    return out;
}

}  // namespace pelvano::core
