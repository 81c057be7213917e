#pragma once
// The schedule window's tooltip of a row (UTF-8): the loudness of its file, the gain it plays
// at and its cue points, as far as they are known (see FactsOfStoredPath). UI thread.
#include <string>

#include "core/loudness/LoudnessBook.h"
#include "core/loudness/LoudnessSettings.h"

namespace pelvano::core {

// Empty for a row without a file.
std::string RowLoudnessTip(const LoudnessBook& book, const LoudnessSettings& settings,
                           const std::string& applicationDir, const std::string& storedPath);

}  // namespace pelvano::core
