#include "core/loudness/LoudnessSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/loudness/CueLevel.h"

namespace pelvano::core {

namespace {

constexpr const char* kSection = "Linux";
constexpr std::size_t kKeyCount = 4;
constexpr std::array<const char*, kKeyCount> kKeys = {"Loudness", "TargetLUFS", "TrimSilence",
                                                      "CueLevel"};

double numberOr(const std::string& text, double fallback) {
    const std::string t = Trim(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
        return fallback;
    return value;
}

// Tenths are as fine as anyone sets a level.
std::string numberText(double value) {
    const double tenths = std::round(value * 10.0) / 10.0;
    return Format("%.1f", tenths == 0.0 ? 0.0 : tenths);
}

std::array<std::string, kKeyCount> storedTexts(const LoudnessSettings& s) {
    return {s.Loudness ? "YES" : "NO", numberText(s.TargetLUFS), s.TrimSilence ? "YES" : "NO",
            numberText(s.CueLevel)};
}

}  // namespace

LoudnessSettings ValidLoudnessSettings(LoudnessSettings s) {
    s.TargetLUFS = std::clamp(std::round(s.TargetLUFS * 10.0) / 10.0,
                              LoudnessSettings::kMinTargetLufs, LoudnessSettings::kMaxTargetLufs);
    s.CueLevel = std::clamp(std::round(s.CueLevel * 10.0) / 10.0,
                            LoudnessSettings::kMinCueLevelDbfs, LoudnessSettings::kMaxCueLevelDbfs);
    return s;
}

LoudnessSettings LoadLoudnessSettings(const std::string& settingsFile) {
    const LoudnessSettings defaults;
    LoudnessSettings s;
    s.Loudness = IsYes(IniRead(settingsFile, kSection, kKeys[0]));
    s.TargetLUFS = numberOr(IniRead(settingsFile, kSection, kKeys[1]), defaults.TargetLUFS);
    s.TrimSilence = IsYes(IniRead(settingsFile, kSection, kKeys[2]));
    s.CueLevel = ReadCueLevel(settingsFile);
    return ValidLoudnessSettings(s);
}

bool SaveLoudnessSettings(const std::string& settingsFile, const LoudnessSettings& settings) {
    const auto stored = storedTexts(LoadLoudnessSettings(settingsFile));
    const auto wanted = storedTexts(ValidLoudnessSettings(settings));
    std::vector<std::pair<std::string, std::string>> changed;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (stored[i] != wanted[i]) changed.emplace_back(kKeys[i], wanted[i]);
    }
    return changed.empty() || IniWriteMany(settingsFile, kSection, changed);
}

}  // namespace pelvano::core
