#pragma once
// The station's LoudnessSource: its cache (History/loudness.sqlite), the quick estimate, and one
// background thread at idle priority that measures the files asked for ahead, one at a time,
// and posts each file's facts to the UI thread. Destroying it ends that thread within a bound:
// a measurement stops between two blocks; a thread stuck in the kernel (a hung share) is
// abandoned, keeping only the shared state, and posts nothing afterwards.
// The constructor and destructor on the UI thread; lookUp, estimate and factsJob's jobs on
// workers; measureAhead on the UI thread (it only queues).
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "core/app/AppPaths.h"
#include "core/ports/EventQueue.h"
#include "core/ports/LoudnessSource.h"

namespace pelvano::platform {

class StationLoudness final : public core::LoudnessSource {
  public:
    static constexpr std::chrono::milliseconds kCloseBound{1000};

    StationLoudness(std::string cacheFile, double cueLevelDbfs, core::EventQueue& events);
    ~StationLoudness() override;
    StationLoudness(const StationLoudness&) = delete;
    StationLoudness& operator=(const StationLoudness&) = delete;

    std::optional<core::LoudnessFacts> lookUp(const std::string& native) override;
    std::optional<core::LoudnessFacts> estimate(const std::string& native) override;
    void measureAhead(const std::vector<std::string>& natives, Measured measured) override;
    FactsJob factsJob() override;

  private:
    struct Shared;
    static void measureQueued(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

// The loudness source of a station folder: its cache file in the history folder and its
// [Linux] CueLevel (the settings file is read here, at start-up).
std::unique_ptr<StationLoudness> StationLoudnessOf(const core::AppPaths& paths,
                                                   core::EventQueue& events);

}  // namespace pelvano::platform
