#pragma once
// The level above which a file's sound begins and ends: [Linux] CueLevel in dBFS. Reads the
// settings file, so a worker's business or the start-up's, not a click's.
#include <string>

namespace pelvano::core {

inline constexpr double kDefaultCueLevelDbfs = -45.0;

// The key's value; the default when it is missing, not a number or not below 0 dBFS.
double ReadCueLevel(const std::string& settingsFile);

}  // namespace pelvano::core
