#include "core/app/FileHelpers.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace fs = std::filesystem;

void AppendTextLine(const std::string& path, std::string_view line) {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
}

void ForceDeleteFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(path, ec);
}

std::vector<std::string> ListFilesByExt(const std::string& folder, std::string_view ext) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string own = ExtensionOf(name);
        if (own.size() > 1 && EqualsIgnoreCaseGbk(own.substr(1), ext)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    return DirectoryExists(path);
}

std::string FileNameOf(std::string_view path) {
    // A GBK trail byte can be 0x5C, the backslash: skip the second byte of every double-byte
    // character. '/' is never a GBK trail byte, and the pairing of GBK bytes means nothing in a
    // UTF-8 name, so '/' always separates.
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c == '/') {
            start = i + 1;
        } else if (c >= 0x81 && c <= 0xFE) {
            if (i + 1 < path.size() && path[i + 1] == '/') continue;
            ++i;
        } else if (c == '\\') {
            start = i + 1;
        }
    }
    return std::string(path.substr(std::min(start, path.size())));
}

std::string BaseNameOf(std::string_view path) {
    const std::string name = FileNameOf(path);
    return name.substr(0, name.find('.'));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string ExtensionOf(std::string_view path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace pelvano::core
