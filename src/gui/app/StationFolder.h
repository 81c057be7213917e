#pragma once
// Which folder the station lives in. As on Windows, the folder of the program; or the folder
// given as the one command-line argument, so that one install serves a station elsewhere; or,
// when the program's folder cannot be written (an install under a read-only prefix), the
// per-user folder $XDG_DATA_HOME/pelvano/station (~/.local/share/pelvano/station).
#include <string>
#include <vector>

namespace pelvano::gui {

struct StationFolderChoice {
    std::string folder;  // native, with a trailing '/'
    bool perUserDefault = false;
};

// arguments: the command line without the program name. Empty folder and false when the
// arguments are wrong (more than one).
bool ChooseStationFolder(const std::vector<std::string>& arguments,
                         const std::string& executableDir, StationFolderChoice& choice);

// $XDG_DATA_HOME/pelvano/station/, or ~/.local/share/pelvano/station/.
std::string PerUserStationFolder();

// Fills an empty (or missing) per-user folder with a copy of a template station; true when the
// folder holds a settings file or a schedule afterwards, or nothing was there to copy.
bool SeedStationFolder(const std::string& folder, const std::string& templateFolder);

}  // namespace pelvano::gui
