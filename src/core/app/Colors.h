#pragma once
// Colours as the settings store them: 32-bit 0x00BBGGRR (red in the low byte); values with the
// top byte 0xFF name the desktop's system colours by index. Any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelvano::core {

using TColor = std::uint32_t;

constexpr TColor MakeColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;

// "R;G;B" in decimal.
std::string ColorToRgbText(TColor c);
// Fields 1..3 at ";" are red, green, blue (default 255 each); the low 8 bits of each count.
TColor RgbTextToColor(std::string_view text);
// Each component divided by factor and truncated, at most 255 (and at least 0).
TColor ScaleColor(TColor c, double factor);

// The colour's name ("clRed", "clBtnFace", ...) or "$" + eight hexadecimal digits.
std::string ColorToString(TColor c);
// A name of the table or an integer ("$00FF8000", "255"); false when it is neither.
bool StringToColor(std::string_view text, TColor& color);

// Keys prefix + "R", "G", "B"; a missing or non-numeric component keeps def's.
TColor IniReadColor(const std::string& file, std::string_view section, std::string_view prefix, TColor def);
bool IniWriteColor(const std::string& file, std::string_view section, std::string_view prefix, TColor c);

}  // namespace pelvano::core
