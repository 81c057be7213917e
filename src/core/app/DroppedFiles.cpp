#include "core/app/DroppedFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "core/app/FileHelpers.h"
#include "core/ports/EventPump.h"

namespace pelvano::core {

namespace {

namespace fs = std::filesystem;

using FolderId = std::pair<dev_t, ino_t>;

void listFolder(const std::string& folder, std::vector<std::string>& lines,
                std::set<FolderId>& seen) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !seen.insert({st.st_dev, st.st_ino}).second) return;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        if (DirectoryExists(path))
            listFolder(path, lines, seen);
        else
            lines.push_back(path);
    }
}

}  // namespace

void ListFilesRecursive(const std::string& folder, std::vector<std::string>& lines) {
    std::set<FolderId> seen;
    std::string start = folder;
    while (start.size() > 1 && start.back() == '/') start.pop_back();
    listFolder(start, lines, seen);
}

std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& items,
                                             EventPump* pump) {
    std::vector<std::string> files;
    for (const std::string& item : items) {
        if (pump) pump->processPendingEvents();
        if (DirectoryExists(item))
            ListFilesRecursive(item, files);
        else
            files.push_back(item);
    }
    return files;
}

}  // namespace pelvano::core
