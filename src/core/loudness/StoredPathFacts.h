#pragma once
// The facts of a schedule row's file, looked up by its path as written (relative to the station
// folder, '\' as '/'), without the disk: a path only the resolver finds (another letter case, a
// Windows drive) is not found. For the windows and the estimates on the UI thread.
#include <optional>
#include <string>

#include "core/loudness/LoudnessBook.h"
#include "core/loudness/LoudnessSettings.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::core {

std::optional<LoudnessFacts> FactsOfStoredPath(const LoudnessBook& book,
                                               const std::string& applicationDir,
                                               const std::string& storedPath);

// For the estimates: each row counted from its cue-in to its cue-out when items are trimmed and
// its file's full measurement is known. The book and settings must outlive the result.
RowSeconds CuedRowSeconds(const Grid& grid, const LoudnessBook& book,
                          const LoudnessSettings& settings, const std::string& applicationDir);

}  // namespace pelvano::core
