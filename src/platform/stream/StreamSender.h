#pragma once
// The stream's sender thread and everything it touches: the ring of the mix, the queued
// titles and settings, the counters and the destination. StreamOutput and the thread share
// it, so a thread that does not end in time can be left behind (never joined) without using
// anything freed: once abandoned it posts nothing more, and it frees what it holds when it
// ends. See StreamOutput.h for what the thread does.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/EventQueue.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/MixRing.h"
#include "platform/stream/StreamSink.h"

namespace pelvano::platform {

struct StreamCounters {
    std::uint64_t connections = 0;  // successful connections so far
    std::uint64_t losses = 0;       // connections lost
    std::uint64_t bytesSent = 0;
    std::uint64_t framesEncoded = 0;
    std::uint64_t framesDropped = 0;  // by the ring: the sender did not keep up
    bool connected = false;
};

class StreamSender {
  public:
    StreamSender(core::EventQueue& events, std::function<void(const std::string&)> log,
                 StreamSinkFactory sinks);
    StreamSender(const StreamSender&) = delete;
    StreamSender& operator=(const StreamSender&) = delete;

    core::MixRing& ring() { return ring_; }
    // Any thread.
    void configure(const core::StreamSettings& settings);
    void queueTitle(const StreamTitle& title);
    StreamCounters counters() const;
    // Asks the thread to end the stream and return.
    void requestStop();
    // True when the thread returned within limit; else it is abandoned: it posts nothing more.
    bool waitUntilStopped(std::chrono::milliseconds limit);

    // The thread's body.
    void run();

  private:
    struct Session;
    struct QueuedTitle {
        std::uint64_t position;
        StreamTitle title;
    };

    void startSession(Session& s);
    void endSession(Session& s);
    bool tryConnect(Session& s);
    void lose(Session& s, const std::string& reason);
    bool pump(Session& s, std::vector<float>& block);
    // Titles due at the ring's read position; returns the frames readable before the next one.
    std::uint64_t applyDueTitles(Session& s);
    // The title beside the stream; false when that lost the connection.
    bool sendTitle(Session& s);
    bool sendBytes(Session& s, std::string& bytes);
    // Tells the log when the ring dropped frames the sender could not take in time.
    void reportDrops(Session& s);
    void post(const std::string& line);
    // A new setting or the stop: waits give up.
    bool interrupted() const { return interrupt_.load() || stopping_.load(); }

    core::EventQueue& events_;  // only while not abandoned
    std::function<void(const std::string&)> log_;
    StreamSinkFactory sinks_;
    core::MixRing ring_;

    mutable std::mutex mutex_;  // guards the members up to the atomics
    std::condition_variable wake_;
    std::optional<core::StreamSettings> newSettings_;
    std::deque<QueuedTitle> titles_;
    bool stop_ = false;
    bool stopped_ = false;    // run() returned
    bool abandoned_ = false;  // the owner is gone: events_ may be too
    std::atomic<bool> interrupt_{false};
    std::atomic<bool> stopping_{false};

    // Sender thread, read by counters().
    std::atomic<std::uint64_t> connections_{0}, losses_{0}, bytesSent_{0}, framesEncoded_{0};
    std::atomic<bool> connected_{false};
};

}  // namespace pelvano::platform
