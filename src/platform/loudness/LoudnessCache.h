#pragma once
// The station's measured loudness, kept in one SQLite file (History/loudness.sqlite): one row
// per file, keyed by its native path bytes, with the size and modification time it had when it
// was measured and the cue level its cue points were found at, so that a changed file or a new
// cue level reads as not measured. WAL mode: a crash loses at most the last rows, never the
// file, and readers never block the writer. A file that is not a database of ours, or damaged,
// is moved aside (".damaged") and a new one begun; when even that fails the cache keeps
// nothing and every file is simply measured again. Never throws.
// Any thread (one connection, behind a lock); slow (disk), so never the UI thread.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "core/app/AppPaths.h"
#include "core/loudness/LoudnessFacts.h"

struct sqlite3;

namespace pelvano::platform {

// What identifies one version of a file.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// Nothing when the file cannot be seen.
std::optional<FileStamp> StampOf(const std::string& native);

// The cache file of a station folder.
std::string LoudnessCacheFile(const core::AppPaths& station);

class LoudnessCache {
  public:
    // Opens nothing yet: the first use opens (or rebuilds) the file, on the caller's thread.
    explicit LoudnessCache(std::string file);
    ~LoudnessCache();
    LoudnessCache(const LoudnessCache&) = delete;
    LoudnessCache& operator=(const LoudnessCache&) = delete;

    // The full measurement of this version of the file at this cue level, if kept.
    std::optional<core::LoudnessFacts> find(const std::string& native, const FileStamp& stamp,
                                            double cueLevelDbfs);
    void store(const std::string& native, const FileStamp& stamp, double cueLevelDbfs,
               const core::LoudnessFacts& facts);
    const std::string& file() const { return file_; }

  private:
    bool ready();  // lock held
    bool openFile();
    void rebuild();
    void closeDb();

    const std::string file_;
    std::mutex lock_;
    sqlite3* db_ = nullptr;
    bool tried_ = false;
};

}  // namespace pelvano::platform
