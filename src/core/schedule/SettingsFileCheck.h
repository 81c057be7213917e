#pragma once
// What the station says of its settings file when it starts, as GBK log lines (none when all is
// well): a file that is there but cannot be read (the station then runs on the defaults, and the
// INI writes leave the file alone until it can be read again); a file that holds the stream's
// password and that other users may read, which is narrowed to its owner. UI thread.
#include <string>
#include <vector>

namespace pelvano::core {

std::vector<std::string> CheckSettingsFile(const std::string& path);

}  // namespace pelvano::core
