#pragma once
// An Icecast 2 mount as the stream's destination, through libshout over HTTP, without
// blocking: a connection that cannot be made within kConnectTimeoutMs, or that lets more than
// kMaxQueuedSeconds of the stream pile up unsent, counts as lost, so a stalled server never
// stalls the sender thread for long. The sender thread only.
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
    void sendTitle(const StreamTitle& title) override;
    std::string where() const override;

  private:
    std::string lastError() const;

    core::StreamSettings settings_;
    StreamCodec codec_;
    struct shout* shout_ = nullptr;
};

}  // namespace pelvano::platform
