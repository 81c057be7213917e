#include "core/app/StoredPathResolver.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/NativePaths.h"
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

// A path component in both forms it may have on disk: as UTF-8, and as its stored GBK bytes
// (names copied from Windows without conversion).
struct Part {
    std::string utf8;
    std::string raw;
};
using Parts = std::vector<Part>;

void appendNative(Parts& parts, std::string_view native) {
    for (std::size_t pos = 0; pos <= native.size();) {
        std::size_t next = native.find('/', pos);
        if (next == std::string_view::npos) next = native.size();
        if (next > pos) {
            const std::string part(native.substr(pos, next - pos));
            parts.push_back({part, StoredFormOfNativePath(part)});
        }
        pos = next + 1;
    }
}

void appendStored(Parts& parts, std::string_view gbk) {
    for (std::string& raw : SplitStoredPath(gbk)) parts.push_back({GbkToUtf8(raw), std::move(raw)});
}

// The existing path whose components match, each as UTF-8 or as its bytes, exactly or else
// without letter case (the first name in byte order); empty when one has no match.
std::string matchParts(const Parts& parts, bool absolute) {
    std::string current = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        std::string candidate = current + part.utf8;
        if (!exists(candidate) && part.raw != part.utf8 && exists(current + part.raw))
            candidate = current + part.raw;
        if (!exists(candidate)) {
            const std::string wanted = UpperAscii(part.utf8), wantedRaw = UpperAscii(part.raw);
            std::string found;
            std::error_code ec;
            for (fs::directory_iterator it(current.empty() ? "." : current, ec), end; !ec && it != end;
                 it.increment(ec)) {
                const std::string name = it->path().filename().string();
                const std::string upper = UpperAscii(name);
                if ((upper == wanted || upper == wantedRaw) && (found.empty() || name < found))
                    found = name;
            }
            if (found.empty()) return {};
            candidate = current + found;
        }
        current = i + 1 < parts.size() ? candidate + "/" : candidate;
    }
    return current;
}

}  // namespace

std::string MatchPathIgnoringCase(const std::string& path) {
    if (exists(path)) return path;
    Parts parts;
    appendNative(parts, path);
    return matchParts(parts, !path.empty() && path[0] == '/');
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
    // The same candidates component by component, for the slow search below.
    std::vector<Parts> partsOf;
    const auto candidate = [&](const std::string& prefix, std::string_view rest) {
        candidates.push_back(prefix + GbkToUtf8(rest));
        std::replace(candidates.back().begin(), candidates.back().end(), '\\', '/');
        Parts parts;
        appendNative(parts, prefix);
        appendStored(parts, rest);
        partsOf.push_back(std::move(parts));
    };
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (drive) {
        std::string_view rest = stored.substr(2);
        while (!rest.empty() && (rest[0] == '/' || rest[0] == '\\')) rest.remove_prefix(1);
        candidate(driveRoot_ + path[0] + "/", rest);
        candidate(driveRoot_, rest);
    } else if (!path.empty() && path[0] == '/') {
        candidate("/", stored.substr(1));
    } else {
        candidate(applicationDir_, stored);
    }
    for (const std::string& c : candidates) {
        if (exists(c)) return c;
    }
    for (std::size_t i = 0; i < partsOf.size(); ++i) {
        std::string matched = matchParts(partsOf[i], candidates[i].starts_with('/'));
        if (!matched.empty()) return matched;
    }
    return candidates.front();
}

}  // namespace pelvano::core
