#pragma once
// Plays one file at a time on a mixer: a 4-second ring on the device, refilled from the file's
// reader every 40 ms by the channel's own worker, with volume, pan, timed fades, an audible
// Position and the end-of-file and fade-end events.
//
// Threading: every operation is called on the UI thread and takes the shared channel lock
// (250 ms time-out; a timed-out operation does nothing and a getter returns 0). The refill pass
// runs on the worker (or the simulation's thread) under the same lock. The plain getters
// (State, Volume, Pan, Length, FileName and the format fields) read without the lock.
// OnEnd and OnFadeEnd are posted to the EventQueue and run on the UI thread, never on the worker.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/audio/AudioServices.h"
#include "core/audio/TPositionTimes.h"
#include "core/audio/TcbAudioFileReader.h"
#include "core/audio/TcbUpdateChannelThread.h"

namespace pelvano::core {

class TcbDSMixer;
class SoundBuffer;

enum class ChannelState : std::uint8_t { Stopped = 0, Playing = 1, Paused = 2 };

// Up to two stretches of the mirror about to be heard (the second after the ring wraps).
struct DataAhead {
    const std::uint8_t* data1 = nullptr;
    std::uint32_t length1 = 0;
    const std::uint8_t* data2 = nullptr;
    std::uint32_t length2 = 0;
};

class TcbDSMixerChannel {
  public:
    using NotifyEvent = std::function<void(TcbDSMixerChannel& sender)>;

    // Created by TcbDSMixer::AddChannel, destroyed by TcbDSMixer::FreeChannel or the mixer.
    explicit TcbDSMixerChannel(TcbDSMixer& mixer);
    ~TcbDSMixerChannel();
    TcbDSMixerChannel(const TcbDSMixerChannel&) = delete;
    TcbDSMixerChannel& operator=(const TcbDSMixerChannel&) = delete;

    // Opens a file (native UTF-8 path); an empty name just closes the current one. Resets
    // Volume, Pan, StartPos and EndPos to 0. Raises EAudioReadError from the reader, or
    // "Audio file is empty.", "Invalid number of channels.", "Invalid number of bits per
    // sample." (std::runtime_error); the channel then has no file.
    void SetFileName(const std::string& fileName);
    // The same with a reader opened elsewhere (on a worker); null just closes. Does no I/O.
    void SetReader(std::unique_ptr<TcbAudioFileReader> reader);
    // The errors SetFileName raises for a reader the channel cannot play. Any thread.
    static void CheckPlayable(const TcbAudioFileReader& reader);
    // The exact length of the open file, measured after the open gave an estimate; ignored when
    // another file is open by now. The end of the item stays the decoder's end.
    void SetExactDuration(const std::string& fileName, std::int64_t duration);
    // The open file's exact-length job (see AudioSource::exactDurationJob); empty when its
    // length is exact.
    std::function<std::optional<std::int64_t>()> ExactDurationJob();
    const std::string& FileName() const { return fileName_; }

    void Play();  // start, or resume after Pause; "No file opened" without a file
    // As Play, but the first frame sounds at the clock's tick tickUs (Clock::tickUs scale), to
    // the device frame; a tick already passed starts at once. The channel is Playing from now.
    void PlayAt(std::int64_t tickUs);
    // When the first frame of this play was heard (Clock::tickUs scale); nullopt until then.
    std::optional<std::int64_t> FirstHeardUs();
    void Pause();  // "No file opened" without a file
    void Stop();   // stop and rewind to the start of the play window

    // Audible media position in ms.
    std::int32_t Position();
    // Stops, then seeks (clamped by the reader); the next Play starts there.
    void SetPosition(std::int32_t ms);

    std::int32_t Volume() const { return volume_.load(std::memory_order_relaxed); }
    void SetVolume(std::int32_t volume);
    std::int32_t Pan() const { return pan_.load(std::memory_order_relaxed); }
    void SetPan(std::int32_t pan);
    // A linear ramp in hundredths of a decibel from the current Volume, only while playing;
    // target outside −10000 .. 0 or time over 60000 ms raises SilentAbort.
    void Fade(std::uint32_t timeMs, std::int32_t target);
    // The same ramp, starting at the clock's tick startMs (the Volume holds until then).
    void FadeAt(std::uint64_t startMs, std::uint32_t timeMs, std::int32_t target);
    // Calls off the fade armed for startMs, the Volume back where it started from; any other
    // fade (one asked for since) goes on.
    void CancelFadeAt(std::uint64_t startMs);

    // The item's loudness gain in dB, on top of Volume and the fades, from the first sample
    // of the next play on (and at once while playing). Back to 0 when another file is opened.
    void SetLevellingGain(double db);
    double LevellingGain() const { return levellingDb_.load(std::memory_order_relaxed); }

    std::int32_t StartPos() const { return startPos_; }
    void SetStartPos(std::int32_t ms);
    std::int32_t EndPos() const { return endPos_; }
    void SetEndPos(std::int32_t ms);
    // Where the play window ends (ms): EndPos when set and inside the file, else Length.
    std::int32_t PlayEnd() const;

    // Pins the mirror and points into the bytes about to be heard, offset bytes after the play
    // cursor, at most max bytes. Read them, then call ReleaseDataAhead.
    void GetDataAhead(std::uint32_t offset, std::uint32_t max, DataAhead& out);
    void ReleaseDataAhead();

    std::int32_t Length() const { return length_; }
    std::int32_t SampleRate() const { return sampleRate_; }
    std::int32_t Channels() const { return channels_; }
    std::int32_t BitsPerSample() const { return bitsPerSample_; }
    std::int32_t BlockAlign() const { return blockAlign_; }
    ChannelState State() const { return state_.load(std::memory_order_acquire); }
    std::int32_t BufferLength() const { return bufferLength_; }
    std::uint32_t RingSize() const { return ringSize_; }
    std::uint32_t Threshold() const { return threshold_; }
    std::uint32_t Chunk() const { return chunk_; }
    // The error that stopped the last playback from inside a refill; empty after a natural end.
    // UI thread (read it in OnEnd).
    const std::string& EndError() const { return endError_; }

    // Assignable at any time from the UI thread; called there with the channel as sender.
    NotifyEvent OnEnd;
    NotifyEvent OnFadeEnd;
    // A refill came too late and the device played silence in its place; once per file.
    NotifyEvent OnStarved;

  private:
    friend class TcbDSMixer;

    void closeDeviceBuffer();
    void closeFile();
    void ensureDeviceBuffer();
    void fillRegion(std::uint32_t offset, std::uint32_t size);
    void writeSilenceDirect(std::uint32_t offset, std::uint32_t size);
    void refill();
    std::uint32_t distanceToEnd() const;
    void update();
    void updatePass();
    void stopAfterFailure(std::exception_ptr failure);
    void post(void (TcbDSMixerChannel::*deliver)());
    void deliverEnd();
    void deliverFadeEnd();
    void deliverStarved();
    std::uint8_t silenceByte() const { return bitsPerSample_ == 8 ? 0x80 : 0x00; }
    void resetPlayState();

    TcbDSMixer& mixer_;
    SoundBuffer* deviceBuffer_ = nullptr;
    std::string fileName_;
    std::atomic<bool> pinned_{false};
    bool primed_ = false;
    bool fading_ = false;
    bool endReached_ = false;
    bool starvedReported_ = false;
    std::int32_t sampleRate_ = 0;
    std::int32_t channels_ = 0;
    std::int32_t bitsPerSample_ = 0;
    std::int32_t blockAlign_ = 0;
    std::int32_t length_ = 0;
    std::int32_t startPos_ = 0;
    std::int32_t endPos_ = 0;
    std::int32_t bufferLength_ = 4000;
    std::uint32_t ringSize_ = 0;
    std::uint32_t threshold_ = 0;
    std::uint32_t chunk_ = 0;
    std::uint32_t writeCursor_ = 0;
    std::uint64_t lastRefill_ = 0;
    std::uint64_t fadeStart_ = 0;
    std::uint64_t fadeEnd_ = 0;
    std::atomic<std::int32_t> volume_{0};
    std::atomic<std::int32_t> pan_{0};
    std::atomic<double> levellingDb_{0.0};
    std::int32_t fadeFrom_ = 0;
    std::int32_t fadeTarget_ = 0;
    std::int32_t endMarker_ = -1;
    std::unique_ptr<TcbAudioFileReader> reader_;
    std::atomic<ChannelState> state_{ChannelState::Stopped};
    TPositionTimes positionLog_;
    std::vector<std::uint8_t> mirror_;
    std::string endError_;
    std::exception_ptr pendingFailure_;
    // Posted events check it, so that an event posted before the channel was freed is dropped.
    std::shared_ptr<TcbDSMixerChannel*> alive_;
    std::unique_ptr<TcbUpdateChannelThread> thread_;
};

}  // namespace pelvano::core
