#pragma once
// One player per station folder: an exclusive flock on a file in the folder, taken without
// waiting. The kernel drops it when the process ends, however it ends, so a killed station
// never blocks its restart. Both programs take it before the station starts.
#include <string>

namespace pelvano::platform {

// What a second player on a held folder says, as it is refused.
inline constexpr const char* kStationRunningMessage = "该播出站已在运行";
inline constexpr const char* kStationLockFileName = ".pelvano.lock";

class StationLock {
  public:
    enum class Outcome {
        Acquired,
        Held,        // another process plays this folder
        NoLockFile,  // the folder takes no file (read-only): nothing to share, so no lock
    };

    explicit StationLock(const std::string& folder);
    ~StationLock();
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;

    Outcome outcome() const { return outcome_; }

  private:
    int fd_ = -1;
    Outcome outcome_ = Outcome::NoLockFile;
};

}  // namespace pelvano::platform
