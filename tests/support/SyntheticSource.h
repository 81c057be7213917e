#pragma once
// Synthetic audio for tests: files that exist only as a description (a sine
// tone of some frequency and amplitude, or a constant level, of an exact length in any PCM
// layout, whole or as a pip each second), with reads counted and a failure that can be planted at a
// chosen read. add() and stats() on the simulation's thread; the sources follow the AudioSource
// contract.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "core/ports/AudioSource.h"

namespace pelvano::test {

struct ToneSpec {
    std::uint16_t channels = 2;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::int64_t frames = 44100;
    double frequency = 1000.0;           // 0 gives a constant level
    double amplitude = 0.5;              // of full scale
    std::int64_t pipFrames = 0;          // > 0: sounds only this long at the start of each second
    std::int64_t soundFrames = -1;       // ≥ 0: silent from this frame on
    std::int64_t durationOverride = -1;  // stream time reported by open, when ≥ 0
};

struct ToneStats {
    int reads = 0;
    int seeks = 0;
    int failAtRead = -1;  // the read (counted from 1) that fails with failCode
    std::int32_t failCode = -5;
};

class SyntheticSourceFactory final : public core::AudioSourceFactory {
  public:
    // Makes a file exist at path; paths not added fail to open ("No such file or directory").
    void add(const std::string& path, const ToneSpec& tone) { files_[path] = tone; }
    ToneStats& stats() { return stats_; }
    std::unique_ptr<core::AudioSource> createSource() override;

  private:
    std::map<std::string, ToneSpec> files_;
    ToneStats stats_;
};

// The sample value (−1 .. 1) of a tone at a frame.
double ToneValue(const ToneSpec& tone, std::int64_t frame);

}  // namespace pelvano::test
