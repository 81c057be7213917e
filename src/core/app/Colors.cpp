#include "core/app/Colors.h"

#include <cmath>
#include <utility>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr TColor kSys = 0xFF000000u;
constexpr NamedColor kNamedColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0}, {"clDefault", 0x20000000}, {"clNone", 0x1FFFFFFF},
    {"clScrollBar", kSys + 0}, {"clBackground", kSys + 1}, {"clActiveCaption", kSys + 2},
    {"clInactiveCaption", kSys + 3}, {"clMenu", kSys + 4}, {"clWindow", kSys + 5},
    {"clWindowFrame", kSys + 6}, {"clMenuText", kSys + 7}, {"clWindowText", kSys + 8},
    {"clCaptionText", kSys + 9}, {"clActiveBorder", kSys + 10}, {"clInactiveBorder", kSys + 11},
    {"clAppWorkSpace", kSys + 12}, {"clHighlight", kSys + 13}, {"clHighlightText", kSys + 14},
    {"clBtnFace", kSys + 15}, {"clBtnShadow", kSys + 16}, {"clGrayText", kSys + 17},
    {"clBtnText", kSys + 18}, {"clInactiveCaptionText", kSys + 19}, {"clBtnHighlight", kSys + 20},
    {"cl3DDkShadow", kSys + 21}, {"cl3DLight", kSys + 22}, {"clInfoText", kSys + 23},
    {"clInfoBk", kSys + 24}, {"clHotLight", kSys + 26}, {"clGradientActiveCaption", kSys + 27},
    {"clGradientInactiveCaption", kSys + 28}, {"clMenuHighlight", kSys + 29}, {"clMenuBar", kSys + 30},
};

int scaled(int component, double factor) {
    const double v = std::trunc(component / factor);
    if (std::isnan(v) || v > 255) return 255;
    return v < 0 ? 0 : static_cast<int>(v);
}

}  // namespace

std::string ColorToRgbText(TColor c) {
    return Format("%d;%d;%d", RedOf(c), GreenOf(c), BlueOf(c));
}

TColor RgbTextToColor(std::string_view text) {
    return MakeColor(StrToIntDef(GetField(text, ";", 1), 255), StrToIntDef(GetField(text, ";", 2), 255),
                     StrToIntDef(GetField(text, ";", 3), 255));
}

TColor ScaleColor(TColor c, double factor) {
    return MakeColor(scaled(RedOf(c), factor), scaled(GreenOf(c), factor), scaled(BlueOf(c), factor));
}

std::string ColorToString(TColor c) {
    for (const NamedColor& n : kNamedColors) {
        if (n.value == c) return n.name;
    }
    return Format("$%8.8X", c);
}

bool StringToColor(std::string_view text, TColor& color) {
    for (const NamedColor& n : kNamedColors) {
        if (EqualsIgnoreCaseGbk(text, n.name)) {
            color = n.value;
            return true;
        }
    }
    int value = 0;
    if (!TryStrToInt(text, value)) return false;
    color = static_cast<TColor>(value);
    return true;
}

TColor IniReadColor(const std::string& file, std::string_view section, std::string_view prefix, TColor def) {
    const std::string p(prefix);
    return MakeColor(StrToIntDef(IniRead(file, section, p + "R"), RedOf(def)),
                     StrToIntDef(IniRead(file, section, p + "G"), GreenOf(def)),
                     StrToIntDef(IniRead(file, section, p + "B"), BlueOf(def)));
}

bool IniWriteColor(const std::string& file, std::string_view section, std::string_view prefix, TColor c) {
    const std::string p(prefix);
    return IniWriteMany(file, section,
                        {{p + "R", std::to_string(RedOf(c))},
                         {p + "G", std::to_string(GreenOf(c))},
                         {p + "B", std::to_string(BlueOf(c))}});
}

}  // namespace pelvano::core
