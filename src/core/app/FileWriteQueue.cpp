#include "core/app/FileWriteQueue.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>

#include "core/app/FileHelpers.h"

namespace pelvano::core {

// Shared with the thread, which may outlive the queue when a close ran out of time.
struct FileWriteQueue::Shared {
    static constexpr std::size_t kKeptFailures = 1000;
    std::mutex mutex;
    std::condition_variable wake;  // the thread: work or the end
    std::condition_variable idle;  // flush: the queue ran dry
    struct Posted {
        Failure ifFailed;
        Job job;
    };
    std::deque<Posted> jobs;
    bool busy = false;
    bool closing = false;
    std::vector<Failure> failures;
    std::atomic<std::uint64_t> failureCount{0};

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return closing || !jobs.empty(); });
            if (jobs.empty()) return;
            Posted posted = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            lock.unlock();
            bool done = false;
            try {
                done = posted.job(&posted.ifFailed.reason);
            } catch (const std::exception& e) {
                posted.ifFailed.reason = e.what();
            }
            lock.lock();
            busy = false;
            if (!done) {
                // Nobody taking them must not make them a leak; the count goes on.
                if (failures.size() < kKeptFailures) failures.push_back(std::move(posted.ifFailed));
                failureCount.fetch_add(1, std::memory_order_relaxed);
            }
            if (jobs.empty()) idle.notify_all();
        }
    }
};

FileWriteQueue::FileWriteQueue()
    : shared_(std::make_shared<Shared>()), thread_([shared = shared_] { shared->run(); }) {}

FileWriteQueue::~FileWriteQueue() { close(kCloseBound); }

void FileWriteQueue::post(std::string file, std::string message, Job job) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->closing) return;
        shared_->jobs.push_back({{std::move(file), std::move(message), {}}, std::move(job)});
    }
    shared_->wake.notify_one();
}

void FileWriteQueue::appendLine(std::string file, std::string line, std::string message) {
    std::string path = file;
    post(std::move(file), std::move(message),
         [path = std::move(path), line = std::move(line)](std::string* error) {
             return AppendTextLine(path, line, error);
         });
}

bool FileWriteQueue::flush(std::chrono::milliseconds bound) {
    std::unique_lock lock(shared_->mutex);
    return shared_->idle.wait_for(lock, bound,
                                  [this] { return shared_->jobs.empty() && !shared_->busy; });
}

bool FileWriteQueue::close(std::chrono::milliseconds bound) {
    if (!thread_.joinable()) return flush(std::chrono::milliseconds(0));  // closed before
    const bool done = flush(bound);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closing = true;
    }
    shared_->wake.notify_one();
    if (thread_.joinable()) {
        // A write that hangs keeps its thread; the exit goes on without it.
        if (done)
            thread_.join();
        else
            thread_.detach();
    }
    return done;
}

std::vector<FileWriteQueue::Failure> FileWriteQueue::takeFailures() {
    std::lock_guard lock(shared_->mutex);
    return std::exchange(shared_->failures, {});
}

std::uint64_t FileWriteQueue::failureCount() const {
    return shared_->failureCount.load(std::memory_order_relaxed);
}

}  // namespace pelvano::core
