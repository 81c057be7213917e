#include "gui/app/StationFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pelvano::gui {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool writable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string PerUserStationFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/share";
    }
    return withSlash(base) + "pelvano/station/";
}

bool ChooseStationFolder(const std::vector<std::string>& arguments,
                         const std::string& executableDir, StationFolderChoice& choice) {
    choice = {};
    if (arguments.size() > 1) return false;
    if (arguments.size() == 1) {
        choice.folder = withSlash(arguments[0]);
    } else if (writable(executableDir)) {
        choice.folder = withSlash(executableDir);
    } else {
        choice.folder = PerUserStationFolder();
        choice.perUserDefault = true;
    }
    return true;
}

bool SeedStationFolder(const std::string& folder, const std::string& templateFolder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_empty(folder, ec) || ec) return !ec;
    if (!fs::is_directory(templateFolder, ec)) return true;
    fs::copy(templateFolder, folder, fs::copy_options::recursive, ec);
    return !ec;
}

}  // namespace pelvano::gui
