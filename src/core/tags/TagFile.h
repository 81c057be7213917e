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
    // Hands the bytes [from, to) to sink in large blocks; throws TagFileError on a read error or
    // when the file has become shorter.
    template <typename Sink>
    void copyRange(std::uint64_t from, std::uint64_t to, Sink&& sink) const {
        constexpr std::uint64_t kBlock = 1 << 20;
        while (from < to) {
            const std::uint64_t n = to - from < kBlock ? to - from : kBlock;
            const std::string block = readAt(from, n);
            if (block.size() != n) throw TagFileError("Cannot read file \"" + path_ + "\"");
            sink(block);
            from += n;
        }
    }

  private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace pelvano::core
