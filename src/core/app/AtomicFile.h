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

// Who may read and write the new file: as the old one (a new file gets the usual 0666 less the
// umask), or its owner alone (a file that holds a password).
enum class FileAccess { AsBefore, OwnerOnly };

class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string targetPath, FileAccess access = FileAccess::AsBefore);
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
                         std::string* error = nullptr, FileAccess access = FileAccess::AsBefore);

// Missing: there is no file by that name. Unreadable: there is one but its bytes cannot be had
// (permissions, an I/O error, a folder or device rather than a file); the reason goes to *error.
enum class ReadOutcome { Read, Missing, Unreadable };
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes,
                          std::string* error = nullptr);
// True when the whole file was read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

}  // namespace pelvano::core
