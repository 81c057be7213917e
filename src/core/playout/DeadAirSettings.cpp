#include "core/playout/DeadAirSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

double ParseDb(const std::string& text, double fallback) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return fallback;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end == trimmed.c_str() || *end != '\0' || !std::isfinite(value)) return fallback;
    return value;
}

}  // namespace

DeadAirSettings DeadAirSettings::read(const std::string& settingsFile) {
    DeadAirSettings s;
    s.silenceLevelDb = std::clamp(
        ParseDb(IniRead(settingsFile, "Linux", "SilenceLevel"), kDefaultLevelDb), -120.0, 0.0);
    s.silenceSeconds = std::clamp(
        StrToIntDef(Trim(IniRead(settingsFile, "Linux", "SilenceSeconds")), kDefaultSeconds), 1,
        3600);
    s.fallbackFolder = Trim(IniRead(settingsFile, "Linux", "FallbackFolder"));
    return s;
}

std::vector<std::pair<std::string, std::string>> DeadAirSettings::keys() const {
    return {{"SilenceLevel", Format("%g", silenceLevelDb)},
            {"SilenceSeconds", std::to_string(silenceSeconds)},
            {"FallbackFolder", fallbackFolder}};
}

float DeadAirSettings::silencePeak() const {
    return static_cast<float>(std::pow(10.0, silenceLevelDb / 20.0));
}

}  // namespace pelvano::core
