#include "gui/app/StationFolder.h"

#include <cctype>
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

// A station folder holds its settings file or at least one schedule.
bool holdsStation(const std::string& folder) {
    std::error_code ec;
    if (fs::exists(fs::path(folder + "参数设置.INI"), ec)) return true;
    for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == ".JMB") return true;
    }
    return false;
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
    } else if (holdsStation(withSlash(executableDir))) {
        choice.folder = withSlash(executableDir);
    } else {
        choice.folder = PerUserStationFolder();
        choice.perUserDefault = true;
    }
    return true;
}

std::string DemoStationTemplate(const std::string& executableDir) {
    const std::string dir = withSlash(executableDir);
    for (const std::string& candidate :
         {dir + "../share/pelvano/demo-station", dir + "../../demo-station"}) {
        std::error_code ec;
        if (fs::is_directory(fs::path(candidate), ec))
            return fs::path(candidate).lexically_normal().string();
    }
    return {};
}

bool SeedStationFolder(const std::string& folder, const std::string& templateFolder) {
    std::error_code ec;
    const fs::path target = fs::path(folder);
    fs::create_directories(target, ec);
    if (ec) return false;
    if (!fs::is_empty(target, ec) || ec || templateFolder.empty()) return !ec;
    fs::copy(fs::path(templateFolder), target, fs::copy_options::recursive, ec);
    return !ec;
}

}  // namespace pelvano::gui
