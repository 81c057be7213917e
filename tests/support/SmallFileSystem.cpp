#include "support/SmallFileSystem.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace pelvano::test {

SmallFileSystem::SmallFileSystem(std::string folder, std::size_t bytes) : folder_(std::move(folder)) {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

std::string SmallFileSystem::fill(const std::string& name) const {
    const std::string path = folder_ + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const std::vector<char> block(4096, 'f');
    for (std::size_t size = block.size(); fd >= 0 && size > 0;) {
        const ssize_t n = ::write(fd, block.data(), size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) size = size > 1 ? size / 2 : 0;  // down to the last free byte
    }
    if (fd >= 0) ::close(fd);
    return path;
}

int RunUnprivileged(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                                 ::setresuid(kNobody, kNobody, kNobody) != 0)) {
            ::_exit(127);
        }
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 127;
    return WEXITSTATUS(status);
}

}  // namespace pelvano::test
