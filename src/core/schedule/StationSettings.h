#pragma once
// The playout settings: every key of section "START" that the settings window holds, read once
// at start-up in a fixed order and written back the moment a value changes (one key, one atomic
// rewrite). Other code reads the live values from here, never from the file. UI thread.
#include <array>
#include <string>

#include "core/app/Colors.h"
#include "core/app/Fonts.h"

namespace pelvano::core {

class Autostart;

enum class SettingFlag {
    chkAutoLoadJM,
    chkKeepMessage,
    chkSure,
    chkManOper,
    chkChangePB,
    chkRcdHis,
    chkSectCycle,
    chkAllCycle,
    chkMin,
    chkTimedPlay,
    chkClockOne,
    chkClockHalf,
    kCount,
};

enum class SettingColor { plTMcl, plDTcl, plTTcl, kCount };

class StationSettings {
public:
    // autostart may be null (no start-at-log-on mechanism).
    StationSettings(std::string settingsFile, Autostart* autostart, std::string executablePath);

    // Reads every key in the order the settings window does; values that differ from the
    // window's design state are written back, so a missing "spOut" is stored as "59".
    void load();

    const std::string& file() const { return file_; }

    bool flag(SettingFlag f) const { return flags_[static_cast<std::size_t>(f)]; }
    bool setFlag(SettingFlag f, bool on);

    bool chkAutoLoadJM() const { return flag(SettingFlag::chkAutoLoadJM); }
    bool chkKeepMessage() const { return flag(SettingFlag::chkKeepMessage); }
    bool chkSure() const { return flag(SettingFlag::chkSure); }
    bool chkManOper() const { return flag(SettingFlag::chkManOper); }
    bool chkChangePB() const { return flag(SettingFlag::chkChangePB); }
    bool chkRcdHis() const { return flag(SettingFlag::chkRcdHis); }
    bool chkSectCycle() const { return flag(SettingFlag::chkSectCycle); }
    bool chkAllCycle() const { return flag(SettingFlag::chkAllCycle); }
    bool chkMin() const { return flag(SettingFlag::chkMin); }
    bool chkTimedPlay() const { return flag(SettingFlag::chkTimedPlay); }
    bool chkClockOne() const { return flag(SettingFlag::chkClockOne); }
    bool chkClockHalf() const { return flag(SettingFlag::chkClockHalf); }

    int spIN() const { return spIN_; }
    int spOut() const { return spOut_; }
    int spOver() const { return spOver_; }
    // Values are limited to the spin edit's range before they are kept and written.
    bool setSpIN(int seconds);
    bool setSpOut(int seconds);
    bool setSpOver(int seconds);

    int cbDevID() const { return cbDevID_; }
    bool setCbDevID(int index);

    // The automatic load time, "hh:mm:ss", and its seconds of the day.
    int LoadTimeSeconds() const { return loadTimeSeconds_; }
    bool setLoadTime(int secondsOfDay);

    const FontRecord& font() const { return font_; }
    bool setFont(const FontRecord& font);
    TColor color(SettingColor c) const { return colors_[static_cast<std::size_t>(c)]; }
    bool setColor(SettingColor c, TColor value);

    bool chkAutoStart() const { return autoStart_; }
    // Writes or removes the start-at-log-on entry for the current executable path.
    bool setAutoStart(bool on);

    static FontRecord designFont();
    static const char* keyOf(SettingFlag f);

private:
    bool write(const char* key, const std::string& value);
    bool writeSpin(const char* key, int& field, int value, int low, int high);
    void readSpin(const char* key, int& field, int def, int low, int high, int design);

    std::string file_;
    Autostart* autostart_;
    std::string executablePath_;
    std::array<bool, static_cast<std::size_t>(SettingFlag::kCount)> flags_;
    int spIN_ = 5;
    int spOut_ = 0;
    int spOver_ = 1;
    int cbDevID_ = 0;
    int loadTimeSeconds_ = 6 * 3600;
    FontRecord font_;
    std::array<TColor, static_cast<std::size_t>(SettingColor::kCount)> colors_;
    bool autoStart_ = false;
};

}  // namespace pelvano::core
