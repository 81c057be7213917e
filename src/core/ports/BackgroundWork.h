#pragma once
// Runs slow work (opening a file, counting its length) away from the UI thread, with a time
// bound. The job runs on a worker; `finished` runs later on the UI thread, through the event
// queue, with Done once the job has returned, or with TimedOut when it had not returned within
// the bound. A timed-out job is abandoned, never waited for: it may still be running (stuck in
// the kernel on a hung share or a FIFO), so it may only touch what it owns, and its result is
// dropped. Real adapters run jobs on threads; a simulation may wait for each job so that its
// results arrive at a deterministic virtual time.
// run() on the UI thread.
#include <chrono>
#include <functional>

namespace pelvano::core {

class BackgroundWork {
  public:
    enum class Outcome { Done, TimedOut };

    virtual ~BackgroundWork() = default;
    virtual void run(std::function<void()> job, std::chrono::milliseconds bound,
                     std::function<void(Outcome)> finished) = 0;
};

// Runs each job at once on the calling thread and reports Done before returning: for tools and
// tests that have no workers. The bound is not enforced.
class InlineWork final : public BackgroundWork {
  public:
    void run(std::function<void()> job, std::chrono::milliseconds,
             std::function<void(Outcome)> finished) override {
        job();
        finished(Outcome::Done);
    }
};

}  // namespace pelvano::core
