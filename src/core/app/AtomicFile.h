#pragma once
// Replacing a file so that a crash at any moment leaves either the old or the new file:
// the new contents go to a temporary file beside the target, are flushed to disk, take the
// target's permissions, and are renamed over it in one step. UI thread or any single thread.
#include <string>
#include <string_view>

namespace pelvano::core {

class AtomicFileWriter {
public:
    // tempPath empty: the target's name + ".tmp-" + a unique suffix, in the same folder.
    explicit AtomicFileWriter(std::string targetPath, std::string tempPath = {});
    ~AtomicFileWriter();  // removes the temporary file unless commit() succeeded
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& tempPath() const { return tempPath_; }

    bool write(std::string_view bytes);
    // Flushes, fsyncs and renames over the target. False (with error()) leaves the target as it was.
    bool commit();

private:
    void fail(const std::string& what);
    std::string targetPath_;
    std::string tempPath_;
    std::string error_;
    int fd_ = -1;
    bool committed_ = false;
};

// Whole-file helpers on top of it. False with a message in *error on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);
bool ReadFileBytes(const std::string& path, std::string& bytes);

}  // namespace pelvano::core
