#pragma once
// The encoded stream written to a file instead of a server (a simulation's recording of what
// listeners would hear). The file is written as the stream goes, like a recording, so a cut
// short run still leaves a playable file. The sender thread only.
#include <cstdio>

#include "platform/stream/StreamSink.h"

namespace pelvano::platform {

class StreamFileSink final : public StreamSink {
  public:
    explicit StreamFileSink(std::string path) : path_(std::move(path)) {}
    ~StreamFileSink() override;
    StreamFileSink(const StreamFileSink&) = delete;
    StreamFileSink& operator=(const StreamFileSink&) = delete;

    bool open(const std::function<bool()>& abandon, std::string& error) override;
    bool send(const std::string& bytes, std::string& error) override;
    void close() override;
    bool sendTitle(const StreamTitle&, const std::function<bool()>&, std::string&) override {
        return true;
    }
    std::string where() const override { return path_; }

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace pelvano::platform
