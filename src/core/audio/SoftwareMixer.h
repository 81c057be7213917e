#pragma once
// The mixing "device" behind the channels: the output stream calls render() for every block of
// device frames; it reads every playing SoundBuffer at its cursor, resamples it to the device
// rate (windowed-sinc filter, see SincKernel), applies gain 10^(volume/2000), pan and trim (a
// change glides over the first few milliseconds of the next block, so stepwise fades make no
// zipper noise), sums in float and clips once.
//
// Threading: createBuffer/releaseBuffer on the thread holding the channel lock (they build and
// share the rate-conversion kernels); render() on the
// audio callback (no locks, no allocation: buffers are published through atomic slots);
// deviceLost() from any thread.
//
// Why a released buffer is never read after it is freed: releaseBuffer stores null in the slot,
// then reads renderEpoch_ (odd while render() runs) and, when odd, waits for it to change;
// render() increments renderEpoch_, then reads the slots. Each side writes one variable and then
// reads the other's, the pattern acquire/release cannot order (each read may miss the other
// side's write): all four accesses are seq_cst, so they fall into one total order and at least
// one side sees the other. Either render() sees the null slot, or the releaser sees the odd
// epoch and waits for the render's closing increment, which happens after its last read of the
// buffer (and, being an RMW read by the releaser, orders that read before the free).
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/audio/SincKernel.h"
#include "core/audio/SoundBuffer.h"
#include "core/ports/SoundOutput.h"

namespace pelvano::core {

class SoftwareMixer final : public AudioRenderer {
  public:
    static constexpr int kMaxBuffers = 32;
    static constexpr std::uint32_t kBlockFrames = 2048;

    // onDeviceLost runs on the thread that reports the loss, once per loss; onDeviceRestored
    // there when the device plays again.
    SoftwareMixer(const OutputFormat& deviceFormat,
                  std::function<void(const std::string&)> onDeviceLost,
                  std::function<void()> onDeviceRestored = {});
    ~SoftwareMixer() override;

    const OutputFormat& deviceFormat() const { return deviceFormat_; }
    // SilentAbort when every slot is taken, the format is not 1/2 channels of 8/16 bits, or the
    // ring is not longer than the resampling filter reaches both ways.
    SoundBuffer& createBuffer(std::uint32_t size, const WaveFormat& format);
    void releaseBuffer(SoundBuffer& buffer);
    bool deviceIsLost() const { return deviceLost_.load(std::memory_order_acquire); }

    void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept override;
    void deviceLost(const std::string& reason) noexcept override;
    void deviceRestored() noexcept override;

    // Returns once no render() that started before the call is still running.
    void waitForRenderToLeave() const;
    // The highest absolute sample sent to the device since the last call (0 .. 1). Any thread.
    float takeOutputPeak() { return outputPeak_.exchange(0.0f, std::memory_order_relaxed); }

  private:
    void renderBlock(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept;
    // Frames of this block before an armed start (frames: not in this block); clears the arm
    // once the start falls in the block.
    std::uint32_t framesBeforeStart(SoundBuffer& b, std::uint32_t frames,
                                    std::int64_t heardAtUs) const noexcept;
    std::int64_t usOfFrames(std::uint32_t frames) const noexcept;
    // Null when the source is at the device rate.
    std::shared_ptr<const SincKernel> kernelFor(std::uint32_t sourceRate);

    OutputFormat deviceFormat_;
    std::function<void(const std::string&)> onDeviceLost_;
    std::function<void()> onDeviceRestored_;
    std::array<std::atomic<SoundBuffer*>, kMaxBuffers> slots_{};
    std::array<std::unique_ptr<SoundBuffer>, kMaxBuffers> owned_;
    std::vector<std::shared_ptr<const SincKernel>> kernels_;  // one per source rate met
    // Odd while render() runs.
    std::atomic<std::uint64_t> renderEpoch_{0};
    std::atomic<bool> deviceLost_{false};
    std::atomic<float> outputPeak_{0.0f};
    std::array<float, kBlockFrames * 2> accumulator_{};
};

}  // namespace pelvano::core
