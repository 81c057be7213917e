#include "core/app/AppPaths.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

#include "core/app/FileHelpers.h"
#include "core/app/StoredPathResolver.h"

namespace pelvano::core {

AppPaths AppPaths::ofExecutable() {
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) return ofFolder(std::filesystem::current_path().string());
    std::string exe(buffer, static_cast<std::size_t>(n));
    return ofFolder(exe.substr(0, exe.rfind('/') + 1));
}

AppPaths AppPaths::ofFolder(const std::string& folder) {
    AppPaths paths;
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(folder.empty() ? "." : folder, ec).lexically_normal().string();
    if (ec) absolute = folder;
    if (absolute.empty() || absolute.back() != '/') absolute += '/';
    paths.applicationDir = absolute;
    return paths;
}

std::string AppPaths::existingFile(const std::string& name) const {
    const std::string exact = applicationDir + name;
    std::string found = MatchPathIgnoringCase(exact);
    return found.empty() ? exact : found;
}

std::string AppPaths::settingsFile() const {
    return existingFile("参数设置.INI");
}
std::string AppPaths::historyDir() const {
    return applicationDir + "History/";
}
std::string AppPaths::chimesDir() const {
    return applicationDir + "报时文件/";
}
std::string AppPaths::defaultScheduleFile() const {
    return existingFile("节目表.JMB");
}
bool AppPaths::ensureHistoryDir() const {
    return ForceDirectories(historyDir());
}

}  // namespace pelvano::core
