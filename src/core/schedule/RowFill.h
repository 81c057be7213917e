#pragma once
// Making a schedule row from an audio file: its length, its path, and its title and artist from
// its tags. UI thread.
#include <string>

#include "core/app/StoredPathResolver.h"
#include "core/schedule/Grid.h"
#include "core/schedule/RowFillPorts.h"

namespace pelvano::core {

// "hh:mm:ss" of the file's length, truncated to whole seconds. Throws what the engine throws.
std::string MeasureDuration(DurationMeasurer& measurer, const std::string& nativePath);

// Fills the row from the file at a stored (GBK) path: length, path, empty fade cells, title and
// artist. A file the engine cannot open is not added: the row is deleted and false returned.
bool FillRowFromFile(Grid& grid, int row, const std::string& storedPath, const StoredPathResolver& resolver,
                     DurationMeasurer& measurer, TagTextReader& tags);

}  // namespace pelvano::core
