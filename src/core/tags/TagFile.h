#pragma once
// Read access to the file whose tag is read or replaced, with the error that every tag operation
// raises when a file cannot be opened or read. Reads are positioned (pread) and never run past
// the end of the file. One thread per instance.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelvano::core {

// A tag file that cannot be opened, created, read or located; the message names the file.
class TagFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TagFile {
  public:
    // Opens for reading; others may go on reading and writing the file meanwhile.
    // Throws TagFileError when the file cannot be opened.
    explicit TagFile(const std::string& path);
    ~TagFile();
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;

    std::uint64_t size() const { return size_; }
    // Up to count bytes from offset: fewer when the file ends first, none past its end.
    std::string readAt(std::uint64_t offset, std::uint64_t count) const;
    // The open descriptor, for copies that the kernel makes (AtomicFileWriter::copyFrom).
    int fd() const { return fd_; }

  private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace pelvano::core
