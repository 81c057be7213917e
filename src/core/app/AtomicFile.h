#pragma once
// Replacing a file so that a crash at any moment leaves the old or the new file and nothing
// else. The new contents go to an unnamed file in the target's folder (O_TMPFILE), are flushed
// to disk, take the target's mode, owner, group and extended attributes (as far as the process
// may), get a temporary name (linkat) and are renamed over the target in one step. Only a crash
// between those last two steps leaves a named temporary, which the next replace in that folder
// or the next start of the program removes (AtomicFileLeftovers.h). File systems without unnamed
// files get a named temporary from the start. One implementation serves settings, schedules,
// lists, lyrics and tags. UI thread or any single thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelvano::core {

class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();  // forgets the new contents unless commit() succeeded
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    bool write(std::string_view bytes);
    // Appends length bytes of an open file from offset, kernel-side where the file system allows
    // (copy_file_range: no copy through this process, a shared extent where blocks can be
    // shared). False (with error()) when the source ends early or cannot be read.
    bool copyFrom(int sourceFd, std::uint64_t offset, std::uint64_t length);
    // Flushes, fsyncs and renames over the target. False (with error()) leaves the target as it
    // was.
    bool commit();
    // After a failed commit: gives the finished contents another name, never replacing a file
    // that is there. False when that cannot be done.
    bool keepAs(const std::string& path);

  private:
    void fail(const std::string& what);
    bool name();
    std::string targetPath_;
    std::string tempPath_;  // empty while the new file has no name
    std::string error_;
    int fd_ = -1;
    bool committed_ = false;
};

// Whole-file helpers on top of it. False with a message in *error on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);
bool ReadFileBytes(const std::string& path, std::string& bytes);

}  // namespace pelvano::core
