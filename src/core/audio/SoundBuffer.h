#pragma once
// One channel's device buffer inside the software mixer: a looping ring of bytes in the file's
// own PCM format with a play cursor, volume and pan, like a hardware secondary buffer.
//
// Threading: the control operations run on the thread that holds the channel lock; the audio
// callback (SoftwareMixer::render) reads the ring and advances the cursor concurrently. Cursor,
// state, volume and pan are atomics. The ring bytes are written only in regions the cursor has
// left; each write is published by a release increment of writeGeneration_, which the callback
// acquires before reading.
#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>

#include "core/audio/SincKernel.h"
#include "core/audio/WaveFormat.h"

namespace pelvano::core {

class SoftwareMixer;

class SoundBuffer {
  public:
    // The mixer reads up to this many frames behind the play cursor (the rate conversion's
    // filter): whoever fills the ring leaves them alone.
    static constexpr std::uint32_t kHistoryFrames = SincKernel::kMaxHalfTaps;
    static constexpr std::int64_t kAtOnce = 0;
    static constexpr std::int64_t kNotHeard = INT64_MIN;

    // kernel: the rate conversion to the device rate, null when the rates are equal.
    SoundBuffer(SoftwareMixer& mixer, std::uint32_t size, const WaveFormat& format,
                std::shared_ptr<const SincKernel> kernel);
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    std::uint32_t size() const { return size_; }
    const WaveFormat& format() const { return format_; }
    // Byte offset of the next frame to be heard (a whole number of frames).
    std::uint32_t playCursor() const;
    // Copies bytes into the ring at offset; the region must not run past the ring's end.
    void write(std::uint32_t offset, const void* data, std::uint32_t size);
    void fill(std::uint32_t offset, std::uint8_t value, std::uint32_t size);
    // Plays from the cursor, at once or from the device frame heard at startAtUs (Clock::tickUs
    // scale; a time already passed starts at once).
    void playLooping(std::int64_t startAtUs = kAtOnce);
    // When the first frame since the cursor was last at zero was heard (Clock::tickUs scale),
    // kNotHeard before that.
    std::int64_t firstHeardUs() const { return firstHeardUs_.load(std::memory_order_acquire); }
    // Stops; returns once the audio callback no longer reads this buffer.
    void stop();
    void setCursorToZero();
    // Whoever fills the ring says how many new frames it put ahead of the cursor. The callback
    // never plays past them: when the filler is late it plays silence and holds the cursor, so
    // that sound already heard is never heard again and the cursor stays where the sound is.
    void addFramesAhead(std::uint32_t frames) {
        framesAhead_.fetch_add(frames, std::memory_order_acq_rel);
    }
    std::uint32_t framesAhead() const { return framesAhead_.load(std::memory_order_acquire); }
    // True once since the last call if the callback ran out of frames ahead.
    bool takeStarved() { return starved_.exchange(false, std::memory_order_acq_rel); }
    bool playing() const { return playing_.load(std::memory_order_acquire); }
    // Hundredths of a decibel: volume −10000 .. 0, pan −10000 .. 10000; SilentAbort otherwise.
    void setVolume(std::int32_t volume);
    void setPan(std::int32_t pan);
    // A constant factor on top of volume and pan (the item's loudness gain); 1 leaves the sound
    // as it is. Set before play, it holds from the first frame.
    void setTrim(float factor) { trim_.store(factor, std::memory_order_relaxed); }

  private:
    friend class SoftwareMixer;
    static constexpr int kFracBits = 32;

    SoftwareMixer& mixer_;
    const std::uint32_t size_;
    const WaveFormat format_;
    const std::uint32_t ringFrames_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    const std::shared_ptr<const SincKernel> kernel_;
    // Read position in frames, 32.32 fixed point; the callback advances it by compare-exchange
    // so that a cursor reset from the control side always wins.
    std::atomic<std::uint64_t> position_{0};
    std::atomic<bool> playing_{false};
    std::atomic<std::int32_t> volume_{0};
    std::atomic<std::int32_t> pan_{0};
    std::atomic<float> trim_{1.0f};
    std::atomic<std::uint32_t> writeGeneration_{0};
    // Armed start; the callback clears it once the start has been heard.
    std::atomic<std::int64_t> startAtUs_{kAtOnce};
    std::atomic<std::int64_t> firstHeardUs_{kNotHeard};
    std::atomic<std::uint32_t> framesAhead_{0};
    std::atomic<bool> starved_{false};

    // Owned by the audio callback.
    float gainLeft_ = 1.0f;
    float gainRight_ = 1.0f;
    bool heardLastBlock_ = false;
};

}  // namespace pelvano::core
