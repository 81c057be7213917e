#pragma once
// A font as the settings describe it, and its three stored text forms. Names are GBK. Any thread.
#include <string>
#include <string_view>

#include "core/app/Colors.h"

namespace pelvano::core {

constexpr int kDefaultCharset = 1;
constexpr int kGb2312Charset = 134;

struct FontRecord {
    std::string name;  // GBK face name
    int size = 9;      // points
    TColor color = clBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = kDefaultCharset;
    bool operator==(const FontRecord&) const = default;
};

// "name;size;R;G;B;styles;" with styles "fsBold," and/or "fsItalic".
std::string FontToText(const FontRecord& font);
void TextToFont(std::string_view text, FontRecord& font);
// "\"name\", size, [Bold|Italic|Underline|Strikeout]" and, with colour, ", [clRed]".
std::string FontToDisplayText(const FontRecord& font, bool withColour);
// Reads the display form back; an error (a size that is not a number, an unknown colour) ends
// the reading silently, keeping what was set so far.
void DisplayTextToFont(std::string_view text, FontRecord& font, bool withColour);

}  // namespace pelvano::core
