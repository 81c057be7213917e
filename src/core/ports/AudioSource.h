#pragma once
// Decodes one audio file into interleaved PCM blocks. The real adapter is FFmpeg; tests use
// synthetic sources. Used by one thread at a time (the channel serialises access with its lock).
//
// Every operation returns a result code: 0 for success, kSourceEndOfStream from read() when no
// data is left, anything else a failure whose text errorText() gives. The reader maps codes to
// its own messages first (CheckStreamResult).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/audio/WaveFormat.h"

namespace pelvano::core {

inline constexpr std::int32_t kSourceEndOfStream = 0x00040003;

struct SourceBlock {
    std::uint32_t bytes = 0;     // bytes written, a whole number of frames
    std::int64_t startTime = 0;  // media time of the first frame (stream time)
    std::int64_t endTime = 0;    // media time just after the last frame
};

class AudioSource {
  public:
    virtual ~AudioSource() = default;
    // Opens a native (UTF-8) path; on success format and duration (stream time) are set.
    virtual std::int32_t open(const std::string& path, WaveFormat& format,
                              std::int64_t& duration) = 0;
    // Fills the buffer with whole frames, completely unless the data ends. Times are exact to
    // the sample: they count the frames delivered since the last seek.
    virtual std::int32_t read(void* buffer, std::uint32_t size, SourceBlock& block) = 0;
    // Moves to a media time; the next read starts at the first frame at or after it.
    virtual std::int32_t seek(std::int64_t time) = 0;
    virtual void close() = 0;
    // The adapter's own text for a code, empty when it has none.
    virtual std::string errorText(std::int32_t code) const = 0;
    // After an open that could only estimate the duration: a job measuring it exactly (stream
    // time; nothing when it cannot), which needs nothing of this source and may take long (it
    // reads the whole file), so it runs on a worker. Empty when the duration is exact.
    virtual std::function<std::optional<std::int64_t>()> exactDurationJob() const { return {}; }
};

// Makes one source per opened file. Any thread.
class AudioSourceFactory {
  public:
    virtual ~AudioSourceFactory() = default;
    virtual std::unique_ptr<AudioSource> createSource() = 0;
};

}  // namespace pelvano::core
