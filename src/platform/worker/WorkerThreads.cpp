#include "platform/worker/WorkerThreads.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace pelvano::platform {

struct WorkerThreads::Pending {
    std::chrono::steady_clock::time_point deadline;
    std::function<void(Outcome)> finished;
    bool done = false;  // guarded by Shared::mutex
};

// What the job threads share with the supervisor; it outlives this object while a job runs.
struct WorkerThreads::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::list<std::shared_ptr<Pending>> pending;
    bool stopping = false;
    std::atomic<std::size_t> stuck{0};
};

WorkerThreads::WorkerThreads(core::EventQueue& events, Delivery delivery)
    : events_(events), delivery_(delivery), shared_(std::make_shared<Shared>()) {
    if (delivery_ == Delivery::Background) supervisor_ = std::thread([this] { supervise(); });
}

WorkerThreads::~WorkerThreads() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
        shared_->pending.clear();
    }
    shared_->changed.notify_all();
    if (supervisor_.joinable()) supervisor_.join();
}

std::size_t WorkerThreads::stuckJobs() const {
    return shared_->stuck.load(std::memory_order_relaxed);
}

void WorkerThreads::run(std::function<void()> job, std::chrono::milliseconds bound,
                        std::function<void(Outcome)> finished) {
    auto pending = std::make_shared<Pending>();
    pending->deadline = std::chrono::steady_clock::now() + bound;
    pending->finished = std::move(finished);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->pending.push_back(pending);
    }
    std::thread([shared = shared_, pending, job = std::move(job)] {
        try {
            job();
        } catch (...) {
            // A job reports its own failures in what it owns; nothing may leave the thread.
        }
        {
            std::lock_guard lock(shared->mutex);
            if (pending->done) shared->stuck.fetch_sub(1, std::memory_order_relaxed);
            pending->done = true;
        }
        shared->changed.notify_all();
    }).detach();
    if (delivery_ == Delivery::Background) {
        shared_->changed.notify_all();
        return;
    }
    std::unique_lock lock(shared_->mutex);
    const bool done =
        shared_->changed.wait_until(lock, pending->deadline, [&] { return pending->done; });
    shared_->pending.remove(pending);
    if (!done) {
        // The job thread sees `done` already set when it returns and counts itself out.
        pending->done = true;
        shared_->stuck.fetch_add(1, std::memory_order_relaxed);
    }
    lock.unlock();
    pending->finished(done ? Outcome::Done : Outcome::TimedOut);
}

void WorkerThreads::supervise() {
    std::unique_lock lock(shared_->mutex);
    while (!shared_->stopping) {
        const auto now = std::chrono::steady_clock::now();
        auto next = now + std::chrono::hours(1);
        for (auto it = shared_->pending.begin(); it != shared_->pending.end();) {
            Pending& p = **it;
            if (!p.done && p.deadline > now) {
                next = std::min(next, p.deadline);
                ++it;
                continue;
            }
            const bool done = p.done;
            if (!done) {
                p.done = true;
                shared_->stuck.fetch_add(1, std::memory_order_relaxed);
            }
            events_.post([finished = std::move(p.finished), done] {
                finished(done ? Outcome::Done : Outcome::TimedOut);
            });
            it = shared_->pending.erase(it);
        }
        shared_->changed.wait_until(lock, next);
    }
}

}  // namespace pelvano::platform
