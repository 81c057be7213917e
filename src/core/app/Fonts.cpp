#include "core/app/Fonts.h"

#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

// Byte-position helpers with the 1-based, forgiving rules of the stored forms: an index below 1
// counts from 1, a count below 1 takes nothing, anything past the end is cut off.
std::string copyText(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count < 1 || static_cast<std::size_t>(index) > s.size()) return {};
    return std::string(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

void deleteFront(std::string& s, int count) {
    if (count > 0) s.erase(0, static_cast<std::size_t>(count));
}

int posOf(std::string_view s, char c) {
    const auto p = s.find(c);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

}  // namespace

std::string FontToText(const FontRecord& font) {
    std::string styles;
    if (font.bold) styles += "fsBold,";
    if (font.italic) styles += "fsItalic";
    return font.name + ";" + std::to_string(font.size) + ";" + ColorToRgbText(font.color) + ";" + styles + ";";
}

void TextToFont(std::string_view text, FontRecord& font) {
    std::string name = GetField(text, ";", 1);
    font.name = name.empty() ? Gbk("楷体_GB2312") : name;
    font.size = StrToIntDef(GetField(text, ";", 2), 32);
    font.color = MakeColor(StrToIntDef(GetField(text, ";", 3), 255), StrToIntDef(GetField(text, ";", 4), 0),
                           StrToIntDef(GetField(text, ";", 5), 0));
    const std::string styles = GetField(text, ";", 6);
    font.bold = styles.find("fsBold") != std::string::npos;
    font.italic = styles.find("fsItalic") != std::string::npos;
    font.underline = false;
    font.strikeOut = false;
}

std::string FontToDisplayText(const FontRecord& font, bool withColour) {
    std::string styles;
    auto add = [&styles](bool on, const char* word) {
        if (!on) return;
        if (!styles.empty()) styles += "|";
        styles += word;
    };
    add(font.bold, "Bold");
    add(font.italic, "Italic");
    add(font.underline, "Underline");
    add(font.strikeOut, "Strikeout");
    std::string out = "\"" + font.name + "\", " + std::to_string(font.size) + ", [" + styles + "]";
    if (withColour) out += ", [" + ColorToString(font.color) + "]";
    return out;
}

void DisplayTextToFont(std::string_view text, FontRecord& font, bool withColour) {
    std::string s(text);
    int p = posOf(s, ',');
    font.name = copyText(s, 2, p - 3);
    deleteFront(s, p);
    p = posOf(s, ',');
    int size = 0;
    if (!TryStrToInt(copyText(s, 2, p - 2), size)) return;
    font.size = size;
    deleteFront(s, p);
    p = posOf(s, ',');
    const std::string styles = "|" + copyText(s, 3, p - 4);
    deleteFront(s, p);
    if (withColour) {
        TColor colour = 0;
        if (!StringToColor(copyText(s, 3, static_cast<int>(s.size()) - 3), colour)) return;
        font.color = colour;
    }
    font.bold = styles.find("|Bold") != std::string::npos;
    font.italic = styles.find("|Italic") != std::string::npos;
    font.underline = styles.find("|Underline") != std::string::npos;
    font.strikeOut = styles.find("|Strikeout") != std::string::npos;
}

}  // namespace pelvano::core
