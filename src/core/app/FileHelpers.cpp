#include "core/app/FileHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace fs = std::filesystem;

bool AppendTextLine(const std::string& path, std::string_view line, std::string* error) {
    const auto fail = [&](int code) {
        if (error) *error = std::strerror(code);
        return false;
    };
    const int flags = O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(path.c_str(), O_RDWR | flags, 0666);
    const bool readable = fd >= 0;
    if (!readable) fd = ::open(path.c_str(), O_WRONLY | flags, 0666);  // a write-only file
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code);
    }
    std::string bytes;
    char last = '\n';
    if (readable && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
        bytes = "\r\n";
    bytes.append(line);
    bytes += "\r\n";
    std::size_t written = 0;
    int code = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            code = n < 0 ? errno : EIO;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    // Half a line would glue the next one to it: what went in is cut off again.
    if (code != 0 && written > 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, st.st_size) != 0) {
        // Cannot be cut: the next append starts with a line end of its own.
    }
    ::close(fd);
    return code == 0 || fail(code);
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
