#include "core/app/AtomicFileLeftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace pelvano::core {

namespace {

constexpr std::string_view kMarker = ".tmp-";

// The writer's process id of a temporary's name "NAME.tmp-PID-N", or nothing.
std::optional<pid_t> writerOf(std::string_view name) {
    const auto marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker == 0) return std::nullopt;
    std::string_view rest = name.substr(marker + kMarker.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return std::nullopt;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (i != dash && (rest[i] < '0' || rest[i] > '9')) return std::nullopt;
    }
    const long pid = std::strtol(std::string(rest.substr(0, dash)).c_str(), nullptr, 10);
    if (pid <= 0) return std::nullopt;
    return static_cast<pid_t>(pid);
}

// When the process started, in seconds since the epoch; nothing when that cannot be read.
std::optional<double> processStart(pid_t pid) {
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    const auto commEnd = stat.rfind(") ");
    if (commEnd == std::string::npos) return std::nullopt;
    // Fields after the command name start with the third (state); the start time is the 22nd.
    std::istringstream fields(stat.substr(commEnd + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    if (!fields) return std::nullopt;
    std::ifstream system("/proc/stat");
    std::string key;
    long long bootTime = -1;
    while (system >> key) {
        if (key == "btime") {
            system >> bootTime;
            break;
        }
    }
    if (bootTime < 0) return std::nullopt;
    return static_cast<double>(bootTime) +
           std::strtod(field.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The writer has ended, or the process of that id started after the file was last written
// (ids are reused, and after a power cut they surely are): nobody is writing the file.
bool writerIsGone(pid_t pid, const struct stat& st) {
    if (pid == getpid()) return false;
    if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
    const std::optional<double> started = processStart(pid);
    return started && *started > static_cast<double>(st.st_mtim.tv_sec) + 1;
}

}  // namespace

std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + std::string(kMarker) + std::to_string(getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

int RemoveLeftoverTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> writer = writerOf(entry->d_name);
        if (!writer) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        if (writerIsGone(*writer, st) && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace pelvano::core
