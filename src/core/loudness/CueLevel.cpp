#include "core/loudness/CueLevel.h"

#include <charconv>
#include <cmath>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

double ReadCueLevel(const std::string& settingsFile) {
    const std::string text = Trim(IniRead(settingsFile, "Linux", "CueLevel"));
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value) || value >= 0.0)
        return kDefaultCueLevelDbfs;
    return value;
}

}  // namespace pelvano::core
