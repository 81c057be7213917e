#include "core/schedule/StationSettings.h"

#include <algorithm>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/ports/Autostart.h"

namespace pelvano::core {

namespace {

constexpr const char* kSection = "START";

constexpr const char* kFlagKeys[] = {
    "AutoLoadJM", "chkKeepMessage", "chkSure",   "chkManOper",   "chkChangePB", "chkRcdHis",
    "chkSectCycle", "chkAllCycle",  "chkMin",    "chkTimedPlay", "chkClockOne", "chkClockHalf",
};
static_assert(std::size(kFlagKeys) == static_cast<std::size_t>(SettingFlag::kCount));

constexpr const char* kColorKeys[] = {"plTMcl", "plDTcl", "plTTcl"};
constexpr TColor kDesignColors[] = {MakeColor(255, 255, 0), MakeColor(0, 255, 255), MakeColor(255, 255, 0)};

// The spin edits' design values: a missing key that reads as something else is written back.
constexpr int kDesignSpIN = 5;
constexpr int kDesignSpOut = 0;
constexpr int kDesignSpOver = 1;

}  // namespace

const char* StationSettings::keyOf(SettingFlag f) { return kFlagKeys[static_cast<std::size_t>(f)]; }

FontRecord StationSettings::designFont() {
    FontRecord f;
    f.name = Gbk("宋体");
    f.size = 9;
    f.color = clGreen;
    f.charset = kGb2312Charset;
    return f;
}

StationSettings::StationSettings(std::string settingsFile, Autostart* autostart, std::string executablePath)
    : file_(std::move(settingsFile)), autostart_(autostart), executablePath_(std::move(executablePath)),
      font_(designFont()) {
    flags_.fill(true);
    std::copy(std::begin(kDesignColors), std::end(kDesignColors), colors_.begin());
}

bool StationSettings::write(const char* key, const std::string& value) {
    return IniWrite(file_, kSection, key, value);
}

void StationSettings::load() {
    DisplayTextToFont(IniReadIfPresent(file_, kSection, "Font", FontToDisplayText(designFont(), true)), font_, true);
    autoStart_ = autostart_ && autostart_->isEnabled(executablePath_);

    const std::string autoLoad = IniRead(file_, kSection, kFlagKeys[0]);
    if (!autoLoad.empty()) flags_[0] = IsYes(autoLoad);
    if (!flags_[0] && autoLoad != YesNo(false)) write(kFlagKeys[0], YesNo(false));

    const std::string loadTime = IniRead(file_, kSection, "LoadTime");
    if (!loadTime.empty()) {
        const int seconds = ((ParseHms(loadTime) % 86400) + 86400) % 86400;
        if (seconds != loadTimeSeconds_) setLoadTime(seconds);
    }

    for (std::size_t i = 1; i < flags_.size(); ++i) {
        const std::string stored = IniReadDef(file_, kSection, kFlagKeys[i], YesNo(true));
        flags_[i] = IsYes(stored);
        if (!flags_[i] && stored != YesNo(false)) write(kFlagKeys[i], YesNo(false));
    }

    readSpin("spIN", spIN_, 5, 0, 59, kDesignSpIN);
    readSpin("spOut", spOut_, 90, 0, 59, kDesignSpOut);
    readSpin("spOver", spOver_, 3, 1, 60, kDesignSpOver);
    cbDevID_ = StrToIntDef(IniRead(file_, kSection, "cbDevID"), 0);

    for (std::size_t i = 0; i < colors_.size(); ++i) {
        colors_[i] = IniReadColor(file_, kSection, kColorKeys[i], kDesignColors[i]);
    }
}

void StationSettings::readSpin(const char* key, int& field, int def, int low, int high, int design) {
    const std::string stored = IniRead(file_, kSection, key);
    field = std::clamp(StrToIntDef(stored, def), low, high);
    if (field != design && stored != std::to_string(field)) write(key, std::to_string(field));
}

bool StationSettings::setFlag(SettingFlag f, bool on) {
    flags_[static_cast<std::size_t>(f)] = on;
    return write(keyOf(f), YesNo(on));
}

bool StationSettings::writeSpin(const char* key, int& field, int value, int low, int high) {
    field = std::clamp(value, low, high);
    return write(key, std::to_string(field));
}

bool StationSettings::setSpIN(int seconds) { return writeSpin("spIN", spIN_, seconds, 0, 59); }
bool StationSettings::setSpOut(int seconds) { return writeSpin("spOut", spOut_, seconds, 0, 59); }
bool StationSettings::setSpOver(int seconds) { return writeSpin("spOver", spOver_, seconds, 1, 60); }

bool StationSettings::setCbDevID(int index) {
    cbDevID_ = index;
    return write("cbDevID", std::to_string(index));
}

bool StationSettings::setLoadTime(int secondsOfDay) {
    loadTimeSeconds_ = ((secondsOfDay % 86400) + 86400) % 86400;
    return write("LoadTime", FormatHms(loadTimeSeconds_));
}

bool StationSettings::setFont(const FontRecord& font) {
    font_ = font;
    return write("Font", FontToDisplayText(font, true));
}

bool StationSettings::setColor(SettingColor c, TColor value) {
    colors_[static_cast<std::size_t>(c)] = value;
    return IniWriteColor(file_, kSection, kColorKeys[static_cast<std::size_t>(c)], value);
}

bool StationSettings::setAutoStart(bool on) {
    autoStart_ = on;
    return autostart_ && autostart_->setEnabled(on, executablePath_);
}

}  // namespace pelvano::core
