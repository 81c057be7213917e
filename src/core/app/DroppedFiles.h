#pragma once
// The files that a drop from the file manager brings: dropped files as they are, dropped
// folders with every file below them. Paths are native. UI thread.
#include <string>
#include <vector>

namespace pelvano::core {

class EventPump;

// Appends every file below folder (not the folders themselves), each folder's entries sorted
// by name. A folder reached again through a symbolic link (a loop, or a second way to the same
// folder) is entered once; folders that cannot be read are skipped.
void ListFilesRecursive(const std::string& folder, std::vector<std::string>& lines);

// The dropped items with each folder replaced by its files, in the order dropped. The pump, when
// given, runs once before each item so that the window stays responsive.
std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& items,
                                             EventPump* pump);

}  // namespace pelvano::core
