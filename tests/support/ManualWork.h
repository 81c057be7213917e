#pragma once
// BackgroundWork whose jobs a test finishes by hand: each job waits until the test runs it and
// reports it done, or reports it timed out (the job then "hangs" until returnAbandoned()).
// Everything on the test's thread.
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "core/ports/BackgroundWork.h"

namespace pelvano::test {

class ManualWork final : public core::BackgroundWork {
  public:
    void run(std::function<void()> job, std::chrono::milliseconds bound,
             std::function<void(Outcome)> finished) override {
        jobs_.push_back({std::move(job), bound, std::move(finished)});
    }
    std::size_t pending() const { return jobs_.size(); }
    std::chrono::milliseconds nextBound() const { return jobs_.front().bound; }
    void finishNext() {
        Job j = take();
        j.job();
        j.finished(Outcome::Done);
    }
    void finishAll() {
        while (!jobs_.empty()) finishNext();
    }
    void timeOutNext() {
        Job j = take();
        abandoned_.push_back(std::move(j.job));
        j.finished(Outcome::TimedOut);
    }
    // The abandoned jobs come back from the kernel at last; nobody hears their results.
    void returnAbandoned() {
        for (auto& job : std::exchange(abandoned_, {})) job();
    }

  private:
    struct Job {
        std::function<void()> job;
        std::chrono::milliseconds bound;
        std::function<void(Outcome)> finished;
    };
    Job take() {
        Job j = std::move(jobs_.front());
        jobs_.pop_front();
        return j;
    }
    std::deque<Job> jobs_;
    std::vector<std::function<void()>> abandoned_;
};

}  // namespace pelvano::test
