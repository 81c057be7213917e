#pragma once
// Keys of the settings file written on the write queue's thread, so that the disk's flushes
// hold up neither the sound nor the windows. They land in the order they were posted, after
// every write posted before them; a write that fails is reported with the other failed writes.
#include <string>
#include <utility>
#include <vector>

namespace pelvano::core {

class FileWriteQueue;

using IniKeys = std::vector<std::pair<std::string, std::string>>;

void PostSettingsKeys(FileWriteQueue& files, const std::string& settingsFile, std::string section,
                      IniKeys keys);

}  // namespace pelvano::core
