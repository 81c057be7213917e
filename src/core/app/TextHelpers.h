#pragma once
// Small stateless text operations on GBK byte strings: fields, integers, time and date texts,
// "YES"/"NO" flags. Positions and lengths count bytes; field numbers count from 1. Any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/DateTime.h"

namespace pelvano::core {

// 1 for an empty text, else 1 + the non-overlapping occurrences of sep from the left.
int CountFields(std::string_view text, std::string_view sep);
// The n-th field (1-based); the last field is the whole rest of the text.
std::string GetField(std::string_view text, std::string_view sep, int n);
std::string LeftText(std::string_view text, int n);
std::string PadLeft(std::string_view text, char ch, int width);
// Removes leading and trailing bytes <= 0x20.
std::string Trim(std::string_view text);

// The integer of a text: leading blanks skipped, an optional sign, then decimal digits or a
// hexadecimal number after "$", "x", "X", "0x" or "0X". Anything else (empty, trailing blanks,
// beyond the signed 32-bit range) gives def. Hexadecimal takes up to 32 bits and wraps, so the
// stored colour "$FF00000F" reads back.
int StrToIntDef(std::string_view text, int def);
// The same rule; false when the text is not an integer.
bool TryStrToInt(std::string_view text, int& value);

int ParseHms(std::string_view text);
std::string FormatHms(int seconds);
// A time of day to the millisecond as "hh:mm:ss.zzz", and back: exactly that form, nothing for
// any other text (a truncated or edited value is no instant).
std::string FormatTimeOfDayMs(std::int64_t msOfDay);
std::optional<std::int64_t> ParseTimeOfDayMs(std::string_view text);
std::string NowHms(const LocalDateTime& now);
std::string NowHmsMs(const LocalDateTime& now);
std::string FormatDate(const LocalDateTime& date, bool dashes);
std::string FormatTimeOfDay(const LocalDateTime& time, bool colons);
int TimeToSeconds(const LocalDateTime& time);
// Milliseconds of a lyrics time "mm:ss.ff".
int ParseMinSec(std::string_view text);
std::string FormatMinSec(int ms);

bool IsYes(std::string_view text);
std::string YesNo(bool flag);

// printf into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Letter-case-insensitive equality for GBK texts: ASCII letters fold, the trail byte of a
// double-byte character is compared exactly.
bool EqualsIgnoreCaseGbk(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view text);
// 0..15 for a hexadecimal digit of either letter case, else -1.
int HexDigitValue(char c);

}  // namespace pelvano::core
