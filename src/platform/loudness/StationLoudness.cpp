#include "platform/loudness/StationLoudness.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <utility>

#include "core/loudness/CueLevel.h"
#include "platform/loudness/CachedMeasurement.h"

namespace pelvano::platform {

namespace {

constexpr int kIdleNice = 19;

// The measurement must never take the CPU from the refill threads or the windows.
void LowerThisThread() {
    sched_param param{};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kIdleNice);
}

}  // namespace

struct StationLoudness::Shared {
    Shared(std::string cacheFile, double cueLevel, core::EventQueue& queue)
        : cache(std::move(cacheFile)), cueLevelDbfs(cueLevel), events(&queue) {}

    LoudnessCache cache;
    const double cueLevelDbfs;
    std::atomic<bool> stopping{false};  // read by measurements between blocks

    std::mutex lock;  // guards what follows; never held across a disk access
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<std::pair<std::string, Measured>> queue;
    std::set<std::string> queued;
    core::EventQueue* events;  // null once closed: nothing is posted any more
    bool threadEnded = false;
    bool closed = false;  // UI thread: the owner is gone, posted results are dropped

    std::optional<core::LoudnessFacts> lookUp(const std::string& native) {
        const auto stamp = StampOf(native);
        if (!stamp) return std::nullopt;
        return cache.find(native, *stamp, cueLevelDbfs);
    }

    // A short file's estimate is its whole measurement, and is kept like one.
    std::optional<core::LoudnessFacts> estimate(const std::string& native) {
        return measure(native, kEstimateSeconds);
    }

    std::optional<core::LoudnessFacts> measure(const std::string& native, double firstSeconds) {
        MeasureRequest request;
        request.path = native;
        request.cueLevelDbfs = cueLevelDbfs;
        request.firstSeconds = firstSeconds;
        request.stop = &stopping;
        return MeasureThroughCache(cache, request);
    }
};

StationLoudness::StationLoudness(std::string cacheFile, double cueLevelDbfs,
                                 core::EventQueue& events)
    : shared_(std::make_shared<Shared>(std::move(cacheFile), cueLevelDbfs, events)) {
    thread_ = std::thread([shared = shared_] { measureQueued(shared); });
}

StationLoudness::~StationLoudness() {
    std::unique_lock<std::mutex> guard(shared_->lock);
    shared_->closed = true;
    shared_->events = nullptr;
    shared_->stopping = true;
    shared_->wake.notify_all();
    const bool ended =
        shared_->ended.wait_for(guard, kCloseBound, [this] { return shared_->threadEnded; });
    guard.unlock();
    if (ended) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

void StationLoudness::measureQueued(const std::shared_ptr<Shared>& shared) {
    LowerThisThread();
    std::unique_lock<std::mutex> guard(shared->lock);
    for (;;) {
        shared->wake.wait(guard, [&] { return shared->stopping || !shared->queue.empty(); });
        if (shared->stopping) break;
        auto [native, measured] = std::move(shared->queue.front());
        shared->queue.pop_front();
        guard.unlock();
        const auto facts = shared->measure(native, 0.0);
        guard.lock();
        shared->queued.erase(native);
        if (!facts || !shared->events) continue;
        shared->events->post([shared, native = native, measured = measured, facts = *facts] {
            if (!shared->closed) measured(native, facts);
        });
    }
    shared->threadEnded = true;
    shared->ended.notify_all();
}

std::optional<core::LoudnessFacts> StationLoudness::lookUp(const std::string& native) {
    return shared_->lookUp(native);
}

std::optional<core::LoudnessFacts> StationLoudness::estimate(const std::string& native) {
    return shared_->estimate(native);
}

void StationLoudness::measureAhead(const std::vector<std::string>& natives, Measured measured) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    for (const std::string& native : natives) {
        if (native.empty() || !shared_->queued.insert(native).second) continue;
        shared_->queue.emplace_back(native, measured);
    }
    shared_->wake.notify_all();
}

core::LoudnessSource::FactsJob StationLoudness::factsJob() {
    return [shared = shared_](const std::string& native) {
        auto facts = shared->lookUp(native);
        return facts ? facts : shared->estimate(native);
    };
}

std::unique_ptr<StationLoudness> StationLoudnessOf(const core::AppPaths& paths,
                                                   core::EventQueue& events) {
    return std::make_unique<StationLoudness>(LoudnessCacheFile(paths),
                                             core::ReadCueLevel(paths.settingsFile()), events);
}

}  // namespace pelvano::platform
