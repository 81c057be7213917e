#pragma once
// The station's internet stream: the copy of the mix (a MixRing filled by TeeSoundOutput on the
// audio callback) is read by a sender thread of its own, encoded (StreamEncoder) and sent to
// its destination (an Icecast mount, or a file in a simulation). The sound card never waits
// for any of it: a slow encoder or network only makes the ring drop frames (counted).
//
// The sender reconnects by itself after a loss, waiting 1, 2, 4 ... 30 s between attempts, and
// tells the play-process log each loss and each connection, and (at most once a minute) the
// sound it could not take in time, posted to the UI thread.
// The title of the item on air goes with the stream from the point of the mix where the item
// started: titles are queued with the ring's write position and applied when the sender has
// read up to it (in an Ogg Vorbis stream's comments, or beside an MP3 stream; see StreamEncoder).
//
// Threading: construct, configure(), nowPlaying() and destroy on the UI thread; the sender
// thread does every encoding and network call. The destructor sends what the ring still holds,
// ends the stream and joins the thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/ports/EventQueue.h"
#include "core/ports/NowPlaying.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/MixRing.h"
#include "platform/stream/StreamSink.h"

namespace pelvano::platform {

class StreamOutput final : public core::NowPlayingListener {
  public:
    using SinkFactory =
        std::function<std::unique_ptr<StreamSink>(const core::StreamSettings&, StreamCodec)>;
    // The Icecast mount of the settings.
    static SinkFactory icecast();
    // A file at path, whatever the settings' server (a simulation).
    static SinkFactory file(const std::string& path);

    struct Counters {
        std::uint64_t connections = 0;  // successful connections so far
        std::uint64_t losses = 0;       // connections lost
        std::uint64_t bytesSent = 0;
        std::uint64_t framesEncoded = 0;
        std::uint64_t framesDropped = 0;  // by the ring: the sender did not keep up
        bool connected = false;
    };

    // log: called on the UI thread (through events) with each UTF-8 line for the play-process
    // log. events outlives this object.
    StreamOutput(core::EventQueue& events, std::function<void(const std::string&)> log,
                 SinkFactory sinks = icecast());
    ~StreamOutput() override;
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    // What TeeSoundOutput copies the mix into.
    core::MixRing& ring() { return ring_; }
    // Starts, stops or re-points the stream (the sender ends the current one first).
    void configure(const core::StreamSettings& settings);
    // A simulation: the mix waits for the encoder instead of dropping (no sound card to feed).
    void setLossless(bool lossless) { ring_.setLossless(lossless); }
    void nowPlaying(const core::NowPlayingItem& item) override;
    // Any thread.
    Counters counters() const;

  private:
    struct Session;
    struct QueuedTitle {
        std::uint64_t position;
        StreamTitle title;
    };

    void run();
    void startSession(Session& s);
    void endSession(Session& s);
    bool tryConnect(Session& s);
    void lose(Session& s, const std::string& reason);
    bool pump(Session& s, std::vector<float>& block);
    // Titles due at the ring's read position; returns the frames readable before the next one.
    std::uint64_t applyDueTitles(Session& s);
    bool sendBytes(Session& s, std::string& bytes);
    // Tells the log when the ring dropped frames the sender could not take in time.
    void reportDrops(Session& s);
    void post(const std::string& line);

    core::EventQueue& events_;
    std::function<void(const std::string&)> log_;
    SinkFactory sinks_;
    core::MixRing ring_;

    mutable std::mutex mutex_;  // guards the members up to the thread
    std::condition_variable wake_;
    std::optional<core::StreamSettings> newSettings_;
    std::deque<QueuedTitle> titles_;
    bool stop_ = false;
    std::atomic<bool> interrupt_{false};  // a new setting or the stop: give up waiting
    std::thread thread_;

    // Sender thread, read by counters().
    std::atomic<std::uint64_t> connections_{0}, losses_{0}, bytesSent_{0}, framesEncoded_{0};
    std::atomic<bool> connected_{false};
};

}  // namespace pelvano::platform
