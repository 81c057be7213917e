#include "core/lyrics/LyricsSettings.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

struct SpinRange {
    int low;
    int high;
};
constexpr SpinRange kLeftTop{0, 2000};
constexpr SpinRange kWidth{100, 1500};
constexpr SpinRange kHeight{20, 300};
constexpr SpinRange kOpacity{80, 255};

int Limit(int value, SpinRange range) {
    return std::clamp(value, range.low, range.high);
}

void AddColorKeys(std::vector<std::pair<std::string, std::string>>& keys, const std::string& prefix,
                  TColor c) {
    keys.emplace_back(prefix + "R", std::to_string(RedOf(c)));
    keys.emplace_back(prefix + "G", std::to_string(GreenOf(c)));
    keys.emplace_back(prefix + "B", std::to_string(BlueOf(c)));
}

}  // namespace

FontRecord LyricsSettings::designFont() {
    return FontRecord{
        .name = Gbk("楷体_GB2312"), .size = 18, .color = clWhite, .charset = kGb2312Charset};
}

LyricsSettings::LyricsSettings(std::string settingsFile)
    : file_(std::move(settingsFile)), font_(designFont()) {}

void LyricsSettings::LoadLyricsSettings() {
    auto readInt = [&](const char* key, int def) {
        return StrToIntDef(IniRead(file_, kSection, key), def);
    };
    spML_ = Limit(readInt("Left", 0), kLeftTop);
    spMT_ = Limit(readInt("Top", 600), kLeftTop);
    spMW_ = Limit(readInt("Width", 300), kWidth);
    spMH_ = Limit(readInt("Height", 50), kHeight);
    spTransMusic_ = Limit(readInt("spTransMusic", 200), kOpacity);
    chkPlaySongText_ = IsYes(IniReadIfPresent(file_, kSection, "chkPlaySongText", "FALSE"));
    chkInMP3lrcFirst_ = IsYes(IniReadIfPresent(file_, kSection, "chkInMP3lrcFirst", "TRUE"));
    underlineColor_ = IniReadColor(file_, kSection, "plMusicFrameColor", kDesignUnderlineColor);
    currentLineColor_ = IniReadColor(file_, kSection, "plCurTextColor", kDesignCurrentLineColor);
    chkMusicTextCenter_ = readInt("chkMusicTextCenter", 1);
    font_ = designFont();
    DisplayTextToFont(
        IniReadIfPresent(file_, kSection, "Font", FontToDisplayText(designFont(), true)), font_,
        true);
}

LyricsWindowPlacement LyricsSettings::ApplyLyricsSettings(bool* stored, std::string* error) {
    std::vector<std::pair<std::string, std::string>> keys;
    AddColorKeys(keys, "plMusicFrameColor", underlineColor_);
    AddColorKeys(keys, "plCurTextColor", currentLineColor_);
    keys.emplace_back("chkMusicTextCenter", std::to_string(chkMusicTextCenter_));
    keys.emplace_back("chkPlaySongText", YesNo(chkPlaySongText_));
    keys.emplace_back("chkInMP3lrcFirst", YesNo(chkInMP3lrcFirst_));
    keys.emplace_back("spTransMusic", std::to_string(spTransMusic_));
    keys.emplace_back("Left", std::to_string(spML_));
    keys.emplace_back("Top", std::to_string(spMT_));
    keys.emplace_back("Width", std::to_string(spMW_));
    keys.emplace_back("Height", std::to_string(spMH_));
    keys.emplace_back("Font", FontToDisplayText(font_, true));
    const bool ok = IniWriteMany(file_, kSection, keys, error);
    if (stored) *stored = ok;
    return LyricsWindowPlacement{spML_, spMT_, spMW_, spMH_, spTransMusic_, chkPlaySongText_};
}

LyricsAlignment LyricsSettings::alignment() const {
    if (chkMusicTextCenter_ == 0) return LyricsAlignment::Left;
    if (chkMusicTextCenter_ == 1) return LyricsAlignment::Centred;
    return LyricsAlignment::Right;
}

void LyricsSettings::setGeometry(int left, int top, int width, int height) {
    spML_ = Limit(left, kLeftTop);
    spMT_ = Limit(top, kLeftTop);
    spMW_ = Limit(width, kWidth);
    spMH_ = Limit(height, kHeight);
}

void LyricsSettings::setSpTransMusic(int opacity) {
    spTransMusic_ = Limit(opacity, kOpacity);
}

bool LyricsSettings::write(const char* key, const std::string& value) {
    return IniWrite(file_, kSection, key, value);
}

bool LyricsSettings::setChkPlaySongText(bool on) {
    chkPlaySongText_ = on;
    return write("chkPlaySongText", YesNo(on));
}

bool LyricsSettings::setChkInMP3lrcFirst(bool on) {
    chkInMP3lrcFirst_ = on;
    return write("chkInMP3lrcFirst", YesNo(on));
}

bool LyricsSettings::setChkMusicTextCenter(int index) {
    chkMusicTextCenter_ = index;
    return write("chkMusicTextCenter", std::to_string(index));
}

bool LyricsSettings::setPlCurTextColor(TColor c) {
    currentLineColor_ = c;
    return IniWriteColor(file_, kSection, "plCurTextColor", c);
}

bool LyricsSettings::moveDisplayTo(int left, int top) {
    spML_ = Limit(left, kLeftTop);
    spMT_ = Limit(top, kLeftTop);
    return IniWriteMany(file_, kSection,
                        {{"Left", std::to_string(spML_)}, {"Top", std::to_string(spMT_)}});
}

}  // namespace pelvano::core
