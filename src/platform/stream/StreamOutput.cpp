#include "platform/stream/StreamOutput.h"

#include "platform/stream/IcecastSink.h"
#include "platform/stream/StreamFileSink.h"

namespace pelvano::platform {

StreamOutput::SinkFactory StreamOutput::icecast() {
    return [](const core::StreamSettings& settings, StreamCodec codec) {
        return std::make_unique<IcecastSink>(settings, codec);
    };
}

StreamOutput::SinkFactory StreamOutput::file(const std::string& path) {
    return [path](const core::StreamSettings&, StreamCodec) {
        return std::make_unique<StreamFileSink>(path);
    };
}

StreamOutput::StreamOutput(core::EventQueue& events, std::function<void(const std::string&)> log,
                           SinkFactory sinks)
    : sender_(std::make_shared<StreamSender>(events, std::move(log), std::move(sinks))) {
    thread_ = std::thread([sender = sender_] { sender->run(); });
}

StreamOutput::~StreamOutput() {
    sender_->requestStop();
    if (sender_->waitUntilStopped(kStopWaitMs))
        thread_.join();
    else
        thread_.detach();  // stuck in a call that ignores the stop: it ends on its own
}

void StreamOutput::configure(const core::StreamSettings& settings) {
    settings_ = settings;
    sender_->configure(settings);
}

void StreamOutput::nowPlaying(const core::NowPlayingItem& item) {
    sender_->queueTitle(StreamTitle{item.title, item.artist});
}

StreamOutput::Counters StreamOutput::counters() const {
    return sender_->counters();
}

}  // namespace pelvano::platform
