#pragma once
// BackgroundWork on threads of its own: each job gets a detached thread, so that a job stuck in
// the kernel (a FIFO, a hung network share) holds nothing but itself, and is never joined.
// A supervisor thread posts each outcome to the event queue: Done when the job returns,
// TimedOut at its bound. Destroying this object stops the supervisor at once; jobs still running
// are abandoned and their outcomes are never posted.
//
// BeforeReturning (simulations): run() waits, in real time and within the bound, for the job,
// and calls `finished` before it returns; the virtual clock stands still meanwhile, so a
// simulated day plays the same on every run. run() on the UI thread; the rest on the threads.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "core/ports/BackgroundWork.h"
#include "core/ports/EventQueue.h"

namespace pelvano::platform {

class WorkerThreads final : public core::BackgroundWork {
  public:
    enum class Delivery { Background, BeforeReturning };

    explicit WorkerThreads(core::EventQueue& events, Delivery delivery = Delivery::Background);
    ~WorkerThreads() override;
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    void run(std::function<void()> job, std::chrono::milliseconds bound,
             std::function<void(Outcome)> finished) override;
    // Jobs that timed out and have not returned yet.
    std::size_t stuckJobs() const;

  private:
    struct Pending;
    struct Shared;
    void supervise();

    core::EventQueue& events_;
    const Delivery delivery_;
    std::shared_ptr<Shared> shared_;
    std::thread supervisor_;
};

}  // namespace pelvano::platform
