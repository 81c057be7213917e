#include "platform/lock/StationLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace pelvano::platform {

StationLock::StationLock(const std::string& folder) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += kStationLockFileName;
    // Close-on-exec: a program the station starts must not carry the lock past its end.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        outcome_ = Outcome::Acquired;
        return;
    }
    outcome_ = errno == EWOULDBLOCK ? Outcome::Held : Outcome::NoLockFile;
    ::close(fd_);
    fd_ = -1;
}

StationLock::~StationLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace pelvano::platform
