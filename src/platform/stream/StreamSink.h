#pragma once
// Where the encoded stream goes: an Icecast mount (IcecastSink) or a file (StreamFileSink).
// Error texts never hold the password. The stream's sender thread only.
#include <functional>
#include <memory>
#include <string>

#include "core/schedule/StreamSettings.h"
#include "platform/stream/StreamEncoder.h"

namespace pelvano::platform {

class StreamSink {
  public:
    virtual ~StreamSink() = default;
    // Connects or creates; again after close(). abandon is asked while waiting: true gives up
    // at once.
    virtual bool open(const std::function<bool()>& abandon, std::string& error) = 0;
    // False: the connection is lost (error says why); close() follows.
    virtual bool send(const std::string& bytes, std::string& error) = 0;
    virtual void close() = 0;
    // The title beside the stream, for formats that do not carry it inside (MP3). False: the
    // server did not take it in time or was abandoned (error says why; the connection counts
    // as lost). A title the server answers but refuses is no reason to drop the stream: true.
    virtual bool sendTitle(const StreamTitle& title, const std::function<bool()>& abandon,
                           std::string& error) = 0;
    // Where the stream goes, for the log: "host:port/mount" or the file's path.
    virtual std::string where() const = 0;
};

// A destination for each setting of the stream.
using StreamSinkFactory =
    std::function<std::unique_ptr<StreamSink>(const core::StreamSettings&, StreamCodec)>;

}  // namespace pelvano::platform
