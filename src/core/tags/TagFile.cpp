#include "core/tags/TagFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pelvano::core {

TagFile::TagFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (fd_ >= 0) ::close(fd_);
        throw TagFileError("Cannot open file \"" + path + "\"");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

TagFile::~TagFile() {
    ::close(fd_);
}

std::string TagFile::readAt(std::uint64_t offset, std::uint64_t count) const {
    if (offset >= size_) return {};
    if (count > size_ - offset) count = size_ - offset;
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace pelvano::core
