#pragma once
// A copy of the station's mix on its way to a second output (the internet stream): interleaved
// stereo float frames in a fixed ring, written by the audio callback and read by one consumer
// thread.
//
// Threading: one producer (push, on the audio callback: no locks, no allocation, never waits
// unless lossless mode is set) and one consumer (pop, skipAll). The producer publishes frames
// with a release store of written_ after copying them; the consumer reads written_ with
// acquire, copies, then releases read_, which the producer reads with acquire before it
// overwrites a slot. A full ring drops the new frames and counts them: the sound card must
// never wait for the encoder.
//
// Lossless mode (a simulation, where there is no sound card to keep fed): push waits, in short
// sleeps, for the consumer to make room, and drops only after kLosslessPatienceMs.
#include <atomic>
#include <cstdint>
#include <memory>

namespace pelvano::core {

class MixRing {
  public:
    static constexpr std::uint32_t kChannels = 2;
    static constexpr int kLosslessPatienceMs = 5000;

    // capacityFrames is rounded up to a power of two.
    explicit MixRing(std::uint32_t capacityFrames = 1u << 17);

    // Producer. frames of `channels` (1 or 2) interleaved floats; mono is doubled to stereo.
    void push(const float* samples, std::uint32_t frames, std::uint32_t channels) noexcept;
    // The sample rate of the frames pushed from now on (any thread, before the first push).
    void setSampleRate(std::uint32_t rate) noexcept {
        rate_.store(rate, std::memory_order_release);
    }
    void setLossless(bool lossless) noexcept {
        lossless_.store(lossless, std::memory_order_release);
    }

    // Consumer. Copies up to maxFrames stereo frames into out; returns how many.
    std::uint32_t pop(float* out, std::uint32_t maxFrames) noexcept;
    // Consumer. Forgets every frame waiting (nobody listens).
    void skipAll() noexcept;

    // Any thread.
    std::uint32_t sampleRate() const noexcept { return rate_.load(std::memory_order_acquire); }
    // Frames stored since creation: the position in the mix of the next frame pushed.
    std::uint64_t written() const noexcept { return written_.load(std::memory_order_acquire); }
    // Frames handed to the consumer since creation.
    std::uint64_t consumed() const noexcept { return read_.load(std::memory_order_acquire); }
    std::uint64_t dropped() const noexcept { return dropped_.load(std::memory_order_acquire); }
    std::uint32_t capacity() const noexcept { return mask_ + 1; }

  private:
    bool waitForRoom(std::uint32_t frames) noexcept;

    std::uint32_t mask_;
    std::unique_ptr<float[]> samples_;
    std::atomic<std::uint64_t> written_{0};  // frames stored (producer)
    std::atomic<std::uint64_t> read_{0};     // frames taken (consumer)
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<std::uint32_t> rate_{44100};
    std::atomic<bool> lossless_{false};
};

}  // namespace pelvano::core
