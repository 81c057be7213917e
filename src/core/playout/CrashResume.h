#pragma once
// The return to air after an unclean end (a crash, a kill, a power cut). When the last run of
// the station ended today without its close keys, on the schedule that plays now, the item the
// clock says starts at the second the clock says: ResumeWalk goes from the stored row and the
// instant its item began up to now. The lengths it needs are measured on a worker. When the
// walk cannot tell (a length unknown, a file gone, nothing on air by then), the stored row
// starts from its beginning, as after a clean close. UI thread.
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "core/playout/ItemStart.h"
#include "core/playout/PlayoutContext.h"
#include "core/playout/ResumeWalk.h"
#include "core/ports/AudioSource.h"
#include "core/ports/BackgroundWork.h"

namespace pelvano::core {

class CrashResume {
  public:
    // [START] key: YES once the close keys are written, NO from the next start-up on.
    static constexpr std::string_view kCleanCloseKey = "CleanClose";

    CrashResume(PlayoutContext& context, ItemStart& items, BackgroundWork& work,
                AudioSourceFactory& sources);
    ~CrashResume();
    CrashResume(const CrashResume&) = delete;
    CrashResume& operator=(const CrashResume&) = delete;

    // At start-up, with today's schedule open and the stored row current. True: the first
    // start is this object's, at once or once the lengths are measured (within bound); false:
    // the caller starts the current row as ever. Either way the run counts as unclean from now
    // until its close keys.
    bool begin(std::chrono::milliseconds bound);

    // The walk's view of the open schedule and the settings.
    WalkSchedule walkSchedule() const;

    // Distinct rows whose lengths one walk may measure; a longer walk falls back.
    static constexpr std::size_t kMaxMeasuredRows = 64;

  private:
    using Lengths = std::map<int, std::int64_t>;
    struct Pending {
        WalkSchedule schedule;
        int row = 0;
        std::int64_t startedMs = 0;
        std::string date;
    };
    void finish(const Pending& pending, const Lengths& lengths);

    PlayoutContext& c_;
    ItemStart& items_;
    BackgroundWork& work_;
    AudioSourceFactory& sources_;
    std::shared_ptr<CrashResume*> alive_;  // outcomes posted after the station went are dropped
};

// The length in milliseconds of a native file's item, opened with the source given and counted
// exactly when its header only estimates it; nothing when the file is missing or unreadable.
// Slow: on a worker.
std::optional<std::int64_t> MeasureItemLength(std::unique_ptr<AudioSource> source,
                                              const std::string& native);

}  // namespace pelvano::core
