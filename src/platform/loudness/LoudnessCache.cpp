#include "platform/loudness/LoudnessCache.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>
#include <utility>

namespace pelvano::platform {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyMs = 2000;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS loudness ("
    " path BLOB PRIMARY KEY,"
    " size INTEGER NOT NULL,"
    " modified_ns INTEGER NOT NULL,"
    " cue_level REAL NOT NULL,"
    " integrated_lufs REAL NOT NULL,"
    " lra_lu REAL NOT NULL,"
    " true_peak_dbtp REAL NOT NULL,"
    " cue_in_s REAL NOT NULL,"
    " cue_out_s REAL NOT NULL)";

// One prepared statement, finalised however the scope ends.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int UserVersion(sqlite3* db) {
    Statement s(db, "PRAGMA user_version");
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int(s.get(), 0);
}

bool QuickCheckPasses(sqlite3* db) {
    Statement s(db, "PRAGMA quick_check");
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return false;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
    return text != nullptr && std::string(text) == "ok";
}

bool Damaged(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& native) {
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileStamp{static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                         st.st_mtim.tv_nsec};
}

std::string LoudnessCacheFile(const core::AppPaths& station) {
    return station.historyDir() + "loudness.sqlite";
}

LoudnessCache::LoudnessCache(std::string file) : file_(std::move(file)) {}

LoudnessCache::~LoudnessCache() {
    closeDb();
}

void LoudnessCache::closeDb() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

// Opens the file as a cache of ours: WAL, our table, our version, and whole.
bool LoudnessCache::openFile() {
    if (sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        closeDb();
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyMs);
    const int version = UserVersion(db_);
    const bool ours = (version == 0 || version == kSchemaVersion) &&
                      Exec(db_, "PRAGMA journal_mode=WAL") &&
                      Exec(db_, "PRAGMA synchronous=NORMAL") && Exec(db_, kSchema) &&
                      Exec(db_, "PRAGMA user_version=1") && QuickCheckPasses(db_);
    if (!ours) closeDb();
    return ours;
}

// The old file and its journals go aside; a new cache begins.
void LoudnessCache::rebuild() {
    closeDb();
    std::rename(file_.c_str(), (file_ + ".damaged").c_str());
    std::remove((file_ + "-wal").c_str());
    std::remove((file_ + "-shm").c_str());
    openFile();
}

bool LoudnessCache::ready() {
    if (db_ == nullptr && !tried_) {
        tried_ = true;
        if (!openFile()) rebuild();
    }
    return db_ != nullptr;
}

std::optional<core::LoudnessFacts> LoudnessCache::find(const std::string& native,
                                                       const FileStamp& stamp,
                                                       double cueLevelDbfs) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!ready()) return std::nullopt;
    Statement s(db_,
                "SELECT integrated_lufs, lra_lu, true_peak_dbtp, cue_in_s, cue_out_s FROM loudness"
                " WHERE path = ?1 AND size = ?2 AND modified_ns = ?3 AND cue_level = ?4");
    if (!s) return std::nullopt;
    sqlite3_bind_blob(s.get(), 1, native.data(), static_cast<int>(native.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s.get(), 2, stamp.size);
    sqlite3_bind_int64(s.get(), 3, stamp.modifiedNs);
    sqlite3_bind_double(s.get(), 4, cueLevelDbfs);
    const int r = sqlite3_step(s.get());
    if (r != SQLITE_ROW) {
        if (Damaged(r) || Damaged(sqlite3_errcode(db_))) rebuild();
        return std::nullopt;
    }
    core::LoudnessFacts facts;
    facts.integratedLufs = sqlite3_column_double(s.get(), 0);
    facts.lraLu = sqlite3_column_double(s.get(), 1);
    facts.truePeakDbtp = sqlite3_column_double(s.get(), 2);
    facts.cueInSeconds = sqlite3_column_double(s.get(), 3);
    facts.cueOutSeconds = sqlite3_column_double(s.get(), 4);
    return facts;
}

void LoudnessCache::store(const std::string& native, const FileStamp& stamp, double cueLevelDbfs,
                          const core::LoudnessFacts& facts) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!ready()) return;
    int r = SQLITE_ERROR;
    {
        Statement s(db_,
                    "INSERT OR REPLACE INTO loudness (path, size, modified_ns, cue_level,"
                    " integrated_lufs, lra_lu, true_peak_dbtp, cue_in_s, cue_out_s)"
                    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        if (s) {
            sqlite3_bind_blob(s.get(), 1, native.data(), static_cast<int>(native.size()),
                              SQLITE_STATIC);
            sqlite3_bind_int64(s.get(), 2, stamp.size);
            sqlite3_bind_int64(s.get(), 3, stamp.modifiedNs);
            sqlite3_bind_double(s.get(), 4, cueLevelDbfs);
            sqlite3_bind_double(s.get(), 5, facts.integratedLufs);
            sqlite3_bind_double(s.get(), 6, facts.lraLu);
            sqlite3_bind_double(s.get(), 7, facts.truePeakDbtp);
            sqlite3_bind_double(s.get(), 8, facts.cueInSeconds);
            sqlite3_bind_double(s.get(), 9, facts.cueOutSeconds);
            r = sqlite3_step(s.get());
        } else {
            r = sqlite3_errcode(db_);
        }
    }
    if (Damaged(r)) rebuild();
}

}  // namespace pelvano::platform
