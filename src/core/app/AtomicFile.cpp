#include "core/app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/app/AtomicFileLeftovers.h"
#include "core/app/FileHelpers.h"

namespace pelvano::core {

namespace {

// The extended attributes of the old file (access lists, labels, user notes) go to the new
// one; any that cannot be read or set are left behind, as cp -a would leave them.
void copyExtendedAttributes(const std::string& from, int toFd) {
    const ssize_t size = ::llistxattr(from.c_str(), nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t got = ::llistxattr(from.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
        const char* attribute = names.data() + at;
        const ssize_t length = ::lgetxattr(from.c_str(), attribute, nullptr, 0);
        if (length < 0) continue;
        std::vector<char> value(static_cast<std::size_t>(length));
        if (::lgetxattr(from.c_str(), attribute, value.data(), value.size()) == length)
            ::fsetxattr(toFd, attribute, value.data(), value.size(), 0);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath, FileAccess access)
    : targetPath_(std::move(targetPath)) {
    const std::string folder = FolderOf(targetPath_);
    RemoveLeftoverTemporaries(folder);
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        // No unnamed files here (FAT, network folders, old kernels): a named temporary.
        tempPath_ = TemporaryNameFor(targetPath_);
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd_ < 0) {
        fail("cannot create a file beside " + targetPath_);
        tempPath_.clear();
        return;
    }
    struct stat st {};
    if (::stat(targetPath_.c_str(), &st) == 0) {
        // Owner and group first: changing them may clear the set-id bits that fchmod then sets.
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Not permitted (another user's file): the new file is this process's own.
        }
        ::fchmod(fd_, st.st_mode & (access == FileAccess::OwnerOnly ? 07700 : 07777));
        copyExtendedAttributes(targetPath_, fd_);
    } else if (access == FileAccess::OwnerOnly) {
        ::fchmod(fd_, 0600);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
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
            fail("cannot write beside " + targetPath_);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AtomicFileWriter::copyFrom(int sourceFd, std::uint64_t offset, std::uint64_t length) {
    if (!ok()) return false;
    auto from = static_cast<off_t>(offset);
    bool kernelCopy = true;
    std::vector<char> buffer;
    while (length > 0) {
        const std::size_t chunk =
            length < (1u << 30) ? static_cast<std::size_t>(length) : (1u << 30);
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(sourceFd, &from, fd_, nullptr, chunk, 0);
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;  // across file systems or not supported: through this process
                continue;
            }
        } else {
            buffer.resize(std::min<std::size_t>(chunk, 1u << 20));
            n = ::pread(sourceFd, buffer.data(), buffer.size(), from);
            if (n > 0 && !write(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
                return false;
            if (n > 0) from += n;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail("cannot copy into " + targetPath_);
            return false;
        }
        if (n == 0) {
            errno = EIO;
            fail("source ended early while writing " + targetPath_);
            return false;
        }
        length -= static_cast<std::uint64_t>(n);
    }
    return true;
}

// Gives the unnamed file a temporary name in the target's folder.
bool AtomicFileWriter::name() {
    if (!tempPath_.empty()) return true;
    const std::string path = TemporaryNameFor(targetPath_);
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
        ::linkat(fd_, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) != 0) {
        fail("cannot name the new file of " + targetPath_);
        return false;
    }
    tempPath_ = path;
    return true;
}

bool AtomicFileWriter::commit() {
    if (!ok()) return false;
    if (::fsync(fd_) != 0) {
        fail("cannot flush the new file of " + targetPath_);
        return false;
    }
    if (!name()) return false;
    if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
        fail("cannot replace " + targetPath_);
        return false;
    }
    committed_ = true;
    ::close(fd_);
    fd_ = -1;
    // The rename itself must reach the disk too.
    const int dir = ::open(FolderOf(targetPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool AtomicFileWriter::keepAs(const std::string& path) {
    if (committed_ || fd_ < 0) return false;
    if (tempPath_.empty() && !name()) return false;
    if (::link(tempPath_.c_str(), path.c_str()) == 0) return true;
    // Folders without hard links (FAT drives): a plain rename, when the name is free.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 || ::rename(tempPath_.c_str(), path.c_str()) != 0)
        return false;
    tempPath_.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         FileAccess access) {
    AtomicFileWriter writer(path, access);
    const bool done = writer.write(bytes) && writer.commit();
    if (!done && error) *error = writer.error();
    return done;
}

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    const auto unreadable = [&](const std::string& reason) {
        if (error) *error = reason;
        return ReadOutcome::Unreadable;
    };
    // Non-blocking: a named pipe in the file's place must not hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return ReadOutcome::Missing;
        return unreadable(std::strerror(errno));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::string reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return unreadable(reason);
    }
    std::string read;
    read.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int failure = errno;
            ::close(fd);
            return unreadable(std::strerror(failure));
        }
        read.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes = std::move(read);
    return ReadOutcome::Read;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes) == ReadOutcome::Read;
}

}  // namespace pelvano::core
