#include "core/app/AtomicFile.h"

#include "core/app/FileHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace pelvano::core {

namespace {

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath, std::string tempPath)
    : targetPath_(std::move(targetPath)), tempPath_(std::move(tempPath)) {
    if (tempPath_.empty()) tempPath_ = targetPath_ + ".tmp-" + uniqueSuffix();
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        fail("cannot create " + tempPath_);
        return;
    }
    struct stat st {};
    if (::stat(targetPath_.c_str(), &st) == 0) ::fchmod(fd_, st.st_mode & 07777);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(tempPath_.c_str());
}

void AtomicFileWriter::fail(const std::string& what) {
    if (error_.empty()) error_ = what + ": " + std::strerror(errno);
}

bool AtomicFileWriter::write(std::string_view bytes) {
    if (!ok()) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write " + tempPath_);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AtomicFileWriter::commit() {
    if (!ok()) return false;
    if (::fsync(fd_) != 0) {
        fail("cannot flush " + tempPath_);
        return false;
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("cannot close " + tempPath_);
        return false;
    }
    fd_ = -1;
    if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
        fail("cannot replace " + targetPath_);
        return false;
    }
    committed_ = true;
    // The rename itself must reach the disk too.
    const int dir = ::open(FolderOf(targetPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    AtomicFileWriter writer(path);
    const bool done = writer.write(bytes) && writer.commit();
    if (!done && error) *error = writer.error();
    return done;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    bytes = std::move(ss).str();
    return !in.bad();
}

}  // namespace pelvano::core
