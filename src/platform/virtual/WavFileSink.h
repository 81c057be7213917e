#pragma once
// Writes what would be heard to a 16-bit PCM WAV file. The header's sizes are brought up to
// date every second of audio and at the end, so that a file cut short by a crash still plays.
// begin/write on the output's rendering thread; finish after the rendering has stopped.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/virtual/FrameSink.h"

namespace pelvano::platform {

class WavFileSink final : public FrameSink {
  public:
    // Throws std::runtime_error when the file cannot be created.
    explicit WavFileSink(const std::string& path);
    ~WavFileSink() override;
    WavFileSink(const WavFileSink&) = delete;
    WavFileSink& operator=(const WavFileSink&) = delete;

    void begin(const core::OutputFormat& format) override;
    void write(const float* frames, std::uint32_t count) override;
    // Finishes the header and closes the file; throws when the data did not reach the disk.
    void finish();

  private:
    void writeHeader();

    std::string path_;
    std::FILE* file_ = nullptr;
    core::OutputFormat format_;
    std::uint64_t dataBytes_ = 0;
    std::uint64_t bytesSinceHeader_ = 0;
    bool failed_ = false;
    std::vector<std::int16_t> pcm_;
};

}  // namespace pelvano::platform
