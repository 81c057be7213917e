#pragma once
// The station's internet stream: the copy of the mix (a MixRing filled by TeeSoundOutput on the
// audio callback) is read by a sender thread of its own, encoded (StreamEncoder) and sent to
// its destination (an Icecast mount, or a file in a simulation). The sound card never waits
// for any of it: a slow encoder or network only makes the ring drop frames (counted).
//
// The sender reconnects by itself after a loss, waiting 1, 2, 4 ... 30 s between attempts (a
// connection that held 30 s starts over at 1 s; one lost sooner goes on doubling), and
// tells the play-process log each loss and each connection, and (at most once a minute) the
// sound it could not take in time, posted to the UI thread.
// The title of the item on air goes with the stream from the point of the mix where the item
// started: titles are queued with the ring's write position and applied when the sender has
// read up to it (in an Ogg Vorbis stream's comments, or beside an MP3 stream; see StreamEncoder).
//
// Every wait of the sender for the network is bounded and gives up at once for a new setting
// or the stop: a connection, the title beside an MP3 stream (IcecastSink) and the stream's
// end. A title the server does not take in time counts as a lost connection.
//
// Threading: construct, configure(), nowPlaying() and destroy on the UI thread; the sender
// thread (StreamSender) does every encoding and network call. The destructor lets the sender
// send what the ring still holds and end the stream, waiting at most kStopWaitMs; a sender
// still busy then is left to end by itself (it owns what it touches) and tells nothing more.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/ports/EventQueue.h"
#include "core/ports/NowPlaying.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/MixRing.h"
#include "platform/stream/StreamSender.h"
#include "platform/stream/StreamSink.h"

namespace pelvano::platform {

class StreamOutput final : public core::NowPlayingListener {
  public:
    using SinkFactory = StreamSinkFactory;
    // The Icecast mount of the settings.
    static SinkFactory icecast();
    // A file at path, whatever the settings' server (a simulation).
    static SinkFactory file(const std::string& path);

    using Counters = StreamCounters;
    static constexpr std::chrono::milliseconds kStopWaitMs{1500};

    // log: called on the UI thread (through events) with each UTF-8 line for the play-process
    // log. events outlives this object.
    StreamOutput(core::EventQueue& events, std::function<void(const std::string&)> log,
                 SinkFactory sinks = icecast());
    ~StreamOutput() override;
    StreamOutput(const StreamOutput&) = delete;
    StreamOutput& operator=(const StreamOutput&) = delete;

    // What TeeSoundOutput copies the mix into.
    core::MixRing& ring() { return sender_->ring(); }
    // Starts, stops or re-points the stream (the sender ends the current one first).
    void configure(const core::StreamSettings& settings);
    // The settings of the last configure().
    const core::StreamSettings& settings() const { return settings_; }
    // A simulation: the mix waits for the encoder instead of dropping (no sound card to feed).
    void setLossless(bool lossless) { sender_->ring().setLossless(lossless); }
    void nowPlaying(const core::NowPlayingItem& item) override;
    // Any thread.
    Counters counters() const;

  private:
    core::StreamSettings settings_;
    std::shared_ptr<StreamSender> sender_;  // shared with its thread
    std::thread thread_;
};

}  // namespace pelvano::platform
