#pragma once
// An Icecast 2 mount as the stream's destination, through libshout over HTTP, without
// blocking: a connection that cannot be made within kConnectTimeoutMs, or that lets more than
// kMaxQueuedSeconds of the stream pile up unsent, counts as lost, so a stalled server never
// stalls the sender thread for long. One libshout connection object serves every reconnection:
// libshout 2.4.6's shout_free() does not free it (about 1 kB), so making one per attempt would
// leak all day while a server is away.
//
// The title beside an MP3 stream is not sent through libshout, whose metadata update blocks
// without a bound: it is a request of our own (HttpExchange) that gives up after
// kTitleTimeoutMs or when abandoned; with TLS required it goes over TLS too (else plain HTTP,
// as libshout's own would). A refused login is told
// apart by asking the server for the mount (no password sent): a mount already on the air
// means the mount is taken, else the password (or user) is wrong. The sender thread only.
#include <memory>

#include "core/schedule/StreamSettings.h"
#include "platform/stream/StreamSink.h"

struct shout;

namespace pelvano::platform {

class IcecastSink final : public StreamSink {
  public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kMaxQueuedSeconds = 10;
    static constexpr int kTitleTimeoutMs = 2000;
    // The question after a refused login.
    static constexpr int kProbeTimeoutMs = 1000;

    IcecastSink(const core::StreamSettings& settings, StreamCodec codec);
    ~IcecastSink() override;
    IcecastSink(const IcecastSink&) = delete;
    IcecastSink& operator=(const IcecastSink&) = delete;

    bool open(const std::function<bool()>& abandon, std::string& error) override;
    bool send(const std::string& bytes, std::string& error) override;
    void close() override;
    bool sendTitle(const StreamTitle& title, const std::function<bool()>& abandon,
                   std::string& error) override;
    std::string where() const override;

  private:
    bool configure();
    std::string lastError() const;
    // Why shout_open() failed, in the log's words where we can tell.
    std::string openFailure(const std::function<bool()>& abandon) const;
    // A failure's text, saying so when it is the TLS that the settings require.
    std::string withTlsRequired(int failure, const std::string& text) const;
    bool tlsRequired() const { return settings_.TLS == core::StreamTls::Required; }

    core::StreamSettings settings_;
    StreamCodec codec_;
    struct shout* shout_ = nullptr;
};

}  // namespace pelvano::platform
