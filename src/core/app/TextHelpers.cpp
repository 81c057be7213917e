#include "core/app/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace pelvano::core {

int CountFields(std::string_view text, std::string_view sep) {
    if (text.empty() || sep.empty()) return 1;
    int count = 1;
    for (std::size_t pos = text.find(sep); pos != std::string_view::npos;
         pos = text.find(sep, pos + sep.size())) {
        ++count;
    }
    return count;
}

std::string GetField(std::string_view text, std::string_view sep, int n) {
    if (n < 1) return {};
    if (sep.empty()) return n == 1 ? std::string(text) : std::string();
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        std::size_t pos = text.find(sep, start);
        if (pos == std::string_view::npos) return {};
        start = pos + sep.size();
    }
    std::size_t end = text.find(sep, start);
    if (end == std::string_view::npos) return std::string(text.substr(start));
    return std::string(text.substr(start, end - start));
}

std::string LeftText(std::string_view text, int n) {
    if (n < 0) return {};
    return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string PadLeft(std::string_view text, char ch, int width) {
    if (width < 0) return {};
    std::string out;
    if (text.size() < static_cast<std::size_t>(width)) out.assign(width - text.size(), ch);
    out.append(text);
    return out;
}

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
    return std::string(text.substr(b, e - b));
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool TryStrToInt(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int d = hex ? HexDigitValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    if (hex) {
        const auto bits = static_cast<std::uint32_t>(magnitude);
        const auto v = static_cast<std::int32_t>(bits);
        value = negative ? static_cast<int>(-static_cast<std::int64_t>(v)) : v;
        return true;
    }
    const std::int64_t v = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

int StrToIntDef(std::string_view text, int def) {
    int value = 0;
    return TryStrToInt(text, value) ? value : def;
}

int ParseHms(std::string_view text) {
    static constexpr int kWeights[3] = {3600, 60, 1};
    std::int64_t total = 0;
    for (int n = 1; n <= 3; ++n) {
        const std::string field = Trim(GetField(text, ":", n));
        if (!field.empty()) total += static_cast<std::int64_t>(StrToIntDef(field, 0)) * kWeights[n - 1];
    }
    // Absurd stored values must not overflow; they saturate instead.
    if (total > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (total < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(total);
}

std::string FormatTimeOfDayMs(std::int64_t msOfDay) {
    const std::int64_t ms = std::clamp<std::int64_t>(msOfDay, 0, 86'399'999);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3'600'000),
                  static_cast<int>(ms / 60'000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return text;
}

std::optional<std::int64_t> ParseTimeOfDayMs(std::string_view text) {
    if (text.size() != 12 || text[2] != ':' || text[5] != ':' || text[8] != '.')
        return std::nullopt;
    int fields[4] = {};
    const std::size_t starts[4] = {0, 3, 6, 9};
    const std::size_t widths[4] = {2, 2, 2, 3};
    for (int f = 0; f < 4; ++f) {
        for (std::size_t i = starts[f]; i < starts[f] + widths[f]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59) return std::nullopt;
    return ((fields[0] * 60LL + fields[1]) * 60 + fields[2]) * 1000 + fields[3];
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    char small[128];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    std::string out;
    if (needed < 0) {
        va_end(args);
        return out;
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(needed));
    } else {
        out.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<std::size_t>(needed));
    }
    va_end(args);
    return out;
}

std::string FormatHms(int s) { return Format("%2.2d:%2.2d:%2.2d", s / 3600, (s / 60) % 60, s % 60); }

std::string NowHms(const LocalDateTime& now) {
    return Format("%2.2d:%2.2d:%2.2d", now.hour, now.minute, now.second);
}

std::string NowHmsMs(const LocalDateTime& now) {
    return Format("%2.2d:%2.2d:%2.2d.%3.3d", now.hour, now.minute, now.second, now.millisecond);
}

std::string FormatDate(const LocalDateTime& date, bool dashes) {
    return Format(dashes ? "%4.4d-%2.2d-%2.2d" : "%4.4d%2.2d%2.2d", date.year, date.month, date.day);
}

std::string FormatTimeOfDay(const LocalDateTime& time, bool colons) {
    return Format(colons ? "%2.2d:%2.2d:%2.2d" : "%2.2d%2.2d%2.2d", time.hour, time.minute, time.second);
}

int TimeToSeconds(const LocalDateTime& time) { return time.hour * 3600 + time.minute * 60 + time.second; }

int ParseMinSec(std::string_view text) {
    const int m = StrToIntDef(Trim(GetField(text, ":", 1)), 0);
    const int s = StrToIntDef(Trim(GetField(GetField(text, ":", 2), ".", 1)), 0);
    double f = 0;
    const std::string fraction = Trim("0." + GetField(text, ".", 2));
    // Only a plain decimal fraction counts; strtod would also take exponents and hex.
    bool digitsOnly = true;
    for (std::size_t i = 2; i < fraction.size(); ++i) {
        if (fraction[i] < '0' || fraction[i] > '9') digitsOnly = false;
    }
    if (digitsOnly && fraction.size() > 1 && fraction[0] == '0' && fraction[1] == '.') {
        f = std::strtod(fraction.c_str(), nullptr);
    }
    const auto fracMs = static_cast<std::int64_t>(std::nearbyint(f * 1000.0));
    const std::int64_t total = (static_cast<std::int64_t>(m) * 60 + s) * 1000 + fracMs;
    if (total > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (total < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(total);
}

std::string FormatMinSec(int ms) {
    return Format("%2.2d:%2.2d.%2.2d", (ms / 1000) / 60, (ms / 1000) % 60, (ms % 1000) / 10);
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < out.size()) {
            ++i;  // a double-byte character: its trail byte may look like a letter
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool IsYes(std::string_view text) {
    const std::string up = UpperAscii(text);
    return up == "YES" || up == "TRUE";
}

std::string YesNo(bool flag) { return flag ? "YES" : "NO"; }

bool EqualsIgnoreCaseGbk(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

}  // namespace pelvano::core
