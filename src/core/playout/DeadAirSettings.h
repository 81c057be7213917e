#pragma once
// What the station counts as silence and what fills it: the settings keys [Linux] SilenceLevel
// (dBFS, −50 when missing), SilenceSeconds (10) and FallbackFolder (GBK as stored, a path
// relative to the station folder or absolute; empty: no fallback). Out-of-range values are
// clamped, unreadable ones give the default.
#include <string>
#include <utility>
#include <vector>

namespace pelvano::core {

struct DeadAirSettings {
    static constexpr double kDefaultLevelDb = -50.0;
    static constexpr int kDefaultSeconds = 10;

    double silenceLevelDb = kDefaultLevelDb;
    int silenceSeconds = kDefaultSeconds;
    std::string fallbackFolder;

    static DeadAirSettings read(const std::string& settingsFile);
    // The keys of section [Linux] that store these values.
    std::vector<std::pair<std::string, std::string>> keys() const;
    bool operator==(const DeadAirSettings&) const = default;
    // The level as a linear peak (0 .. 1).
    float silencePeak() const;
};

}  // namespace pelvano::core
