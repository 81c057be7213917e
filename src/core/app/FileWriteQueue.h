#pragma once
// File writes that must not hold up the thread that asks for them: appends to the logs and the
// replace of small status files run on a thread of their own, one after the other in the order
// they were asked for, so a slow or full disk delays neither the sound nor the windows. What
// failed is kept for the asking thread to report (takeFailures) and counted. Closing waits for
// the writes still queued, but never longer than its bound: a disk that hangs cannot hang the
// exit (the writes still queued then go on without an owner and may be lost with the process).
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace pelvano::core {

class FileWriteQueue {
  public:
    static constexpr std::chrono::milliseconds kCloseBound{3000};

    // One write; false with the reason in *error when it failed.
    using Job = std::function<bool(std::string* error)>;
    struct Failure {
        std::string file;     // native path
        std::string message;  // what the poster wants said of it
        std::string reason;   // the system's words
    };

    FileWriteQueue();
    ~FileWriteQueue();  // close(kCloseBound)
    FileWriteQueue(const FileWriteQueue&) = delete;
    FileWriteQueue& operator=(const FileWriteQueue&) = delete;

    // message: what to say should the job fail.
    void post(std::string file, std::string message, Job job);
    // AppendTextLine on the writer's thread.
    void appendLine(std::string file, std::string line, std::string message);

    // Waits until every write posted so far is done; false when the bound ran out first.
    bool flush(std::chrono::milliseconds bound);
    // flush(bound), then the thread ends; posts after a close are dropped.
    bool close(std::chrono::milliseconds bound);

    // The failures since the last call, oldest first.
    std::vector<Failure> takeFailures();
    // Every failed write since the queue was made (for a status page).
    std::uint64_t failureCount() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace pelvano::core
