#pragma once
// Turns one audio file into PCM blocks through an AudioSource, inside a play window
// (PlayStart, PlayLength) and with the media times of every block.
//
// Threading: one thread at a time; the channel serialises access with its lock.
#include <cstdint>
#include <memory>
#include <string>

#include "core/audio/AudioReadError.h"
#include "core/audio/WaveFormat.h"
#include "core/ports/AudioSource.h"

namespace pelvano::core {

class TcbAudioFileReader {
  public:
    // Opens the file; raises EAudioReadError on any failure.
    TcbAudioFileReader(std::unique_ptr<AudioSource> source, const std::string& fileName);
    ~TcbAudioFileReader();
    TcbAudioFileReader(const TcbAudioFileReader&) = delete;
    TcbAudioFileReader& operator=(const TcbAudioFileReader&) = delete;

    // One decode step: the bytes written, 0 at the end of the file or of the window.
    std::uint32_t ReadBuffer(void* buffer, std::uint32_t size);

    std::int64_t Position() const { return position_; }
    // Seeks; clamped to the window and the file. Seeking to 0 goes to PlayStart.
    void SetPosition(std::int64_t time);
    std::int64_t PlayStart() const { return playStart_; }
    void SetPlayStart(std::int64_t time);
    std::int64_t PlayLength() const { return playLength_; }
    // 0 = up to the end of the file; otherwise clamped to 10 ms .. 10^8 s.
    void SetPlayLength(std::int64_t length);

    const core::WaveFormat& WaveFormat() const { return format_; }
    std::int64_t Duration() const { return duration_; }
    // The exact length, once measured; a duration that was only an estimate is replaced.
    void SetDuration(std::int64_t duration) { duration_ = duration; }
    // See AudioSource::exactDurationJob.
    std::function<std::optional<std::int64_t>()> ExactDurationJob() const {
        return source_->exactDurationJob();
    }
    std::int64_t SampleStartTime() const { return sampleStart_; }
    std::int64_t SampleEndTime() const { return sampleEnd_; }
    const std::string& FileName() const { return fileName_; }

  private:
    std::unique_ptr<AudioSource> source_;
    core::WaveFormat format_;
    std::string fileName_;
    std::int64_t duration_ = 0;
    std::int64_t position_ = 0;
    std::int64_t playStart_ = 0;
    std::int64_t playLength_ = 0;
    std::int64_t sampleStart_ = 0;
    std::int64_t sampleEnd_ = 0;
};

}  // namespace pelvano::core
