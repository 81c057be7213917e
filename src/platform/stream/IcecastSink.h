#pragma once
// An Icecast 2 mount as the stream's destination, through libshout over HTTP, without
// blocking: a connection that cannot be made within kConnectTimeoutMs, or that lets more than
// kMaxQueuedSeconds of the stream pile up unsent, counts as lost, so a stalled server never
// stalls the sender thread for long. One libshout connection object serves every reconnection:
// libshout 2.4.6's shout_free() does not free it (about 1 kB), so making one per attempt would
// leak all day while a server is away. The sender thread only.
#include <memory>

#include "core/schedule/StreamSettings.h"
#include "platform/stream/StreamSink.h"

struct shout;

namespace pelvano::platform {

class IcecastSink final : public StreamSink {
  public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kMaxQueuedSeconds = 10;

    IcecastSink(const core::StreamSettings& settings, StreamCodec codec);
    ~IcecastSink() override;
    IcecastSink(const IcecastSink&) = delete;
    IcecastSink& operator=(const IcecastSink&) = delete;

    bool open(const std::function<bool()>& abandon, std::string& error) override;
    bool send(const std::string& bytes, std::string& error) override;
    void close() override;
    void sendTitle(const StreamTitle& title) override;
    std::string where() const override;

  private:
    bool configure();
    std::string lastError() const;

    core::StreamSettings settings_;
    StreamCodec codec_;
    struct shout* shout_ = nullptr;
};

}  // namespace pelvano::platform
