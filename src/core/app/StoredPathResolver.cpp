#include "core/app/StoredPathResolver.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace fs = std::filesystem;

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string MatchPathIgnoringCase(const std::string& path) {
    if (exists(path)) return path;
    std::vector<std::string> parts;
    for (std::size_t pos = 0; pos <= path.size();) {
        std::size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        if (next > pos) parts.push_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
    std::string current = !path.empty() && path[0] == '/' ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string candidate = current + parts[i];
        if (!exists(candidate)) {
            const std::string wanted = UpperAscii(parts[i]);
            std::string found;
            std::error_code ec;
            for (fs::directory_iterator it(current.empty() ? "." : current, ec), end; !ec && it != end;
                 it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (UpperAscii(name) == wanted && (found.empty() || name < found)) found = name;
            }
            if (found.empty()) return {};
            candidate = current + found;
        }
        current = i + 1 < parts.size() ? candidate + "/" : candidate;
    }
    return current;
}

StoredPathResolver::StoredPathResolver(std::string applicationDir, std::string driveRoot)
    : applicationDir_(withSlash(std::move(applicationDir))), driveRoot_(withSlash(std::move(driveRoot))) {
    if (driveRoot_.empty()) driveRoot_ = applicationDir_;
    if (driveRoot_[0] != '/') driveRoot_ = applicationDir_ + driveRoot_;
}

StoredPathResolver StoredPathResolver::fromSettings(const std::string& applicationDir,
                                                    const std::string& settingsFile) {
    return StoredPathResolver(applicationDir, GbkToUtf8(IniRead(settingsFile, "Linux", "DriveRoot")));
}

std::string StoredPathResolver::resolve(std::string_view stored) const {
    std::string path = GbkToUtf8(stored);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::vector<std::string> candidates;
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (drive) {
        std::string rest = path.substr(2);
        while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
        candidates.push_back(driveRoot_ + path[0] + "/" + rest);
        candidates.push_back(driveRoot_ + rest);
    } else if (!path.empty() && path[0] == '/') {
        candidates.push_back(path);
    } else {
        candidates.push_back(applicationDir_ + path);
    }
    for (const std::string& c : candidates) {
        if (exists(c)) return c;
    }
    for (const std::string& c : candidates) {
        std::string matched = MatchPathIgnoringCase(c);
        if (!matched.empty()) return matched;
    }
    return candidates.front();
}

}  // namespace pelvano::core
