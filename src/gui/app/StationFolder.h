#pragma once
// Which folder the station lives in: the folder given as the one command-line argument, so that
// one install serves a station anywhere; else, as on Windows, the folder of the program when a
// station lives there (its settings file or a schedule); else the per-user folder
// $XDG_DATA_HOME/pelvano/station (~/.local/share/pelvano/station), which the first start fills
// with the demo station when it is empty. So the program may live read-only in a prefix.
#include <string>
#include <vector>

namespace pelvano::gui {

struct StationFolderChoice {
    std::string folder;  // native, with a trailing '/'
    bool perUserDefault = false;
};

// arguments: the command line without the program name. False when there is more than one.
bool ChooseStationFolder(const std::vector<std::string>& arguments,
                         const std::string& executableDir, StationFolderChoice& choice);

// $XDG_DATA_HOME/pelvano/station/, or ~/.local/share/pelvano/station/.
std::string PerUserStationFolder();

// The demo station that comes with the program: installed under share/pelvano, or generated in
// the build tree. Empty when there is none.
std::string DemoStationTemplate(const std::string& executableDir);

// Creates the folder and, when it is empty, copies the template station into it. False when the
// folder cannot be created or the copy fails.
bool SeedStationFolder(const std::string& folder, const std::string& templateFolder);

}  // namespace pelvano::gui
