#include "core/audio/SoftwareMixer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

#include "core/app/SilentAbort.h"

namespace pelvano::core {

namespace {

constexpr std::uint64_t kUnity = std::uint64_t{1} << 32;
// About 6 ms at 44.1 kHz: long enough to hide a volume step, short enough to follow a fade.
constexpr std::uint32_t kRampFrames = 256;

float GainOf(std::int32_t hundredthsOfDb) {
    if (hundredthsOfDb <= -10000) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

struct StereoGain {
    float left;
    float right;
};

// Pan attenuates the opposite side by the same scale as the volume; the trim scales both.
StereoGain GainsOf(std::int32_t volume, std::int32_t pan, float trim) {
    const float gain = GainOf(volume) * trim;
    return {gain * (pan > 0 ? GainOf(-pan) : 1.0f), gain * (pan < 0 ? GainOf(pan) : 1.0f)};
}

// A sample as the integer it holds (8-bit samples are unsigned around 128); times
// kSampleScale<Bits> it is full scale ±1.
template <int Bits>
float RawSampleAt(const std::uint8_t* p) {
    if constexpr (Bits == 8) {
        return static_cast<float>(static_cast<int>(*p) - 128);
    } else if constexpr (std::endian::native == std::endian::little) {
        std::int16_t v;
        std::memcpy(&v, p, sizeof v);
        return static_cast<float>(v);
    } else {
        return static_cast<float>(static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0]) |
                                                            static_cast<std::uint16_t>(p[1] << 8)));
    }
}

template <int Bits>
constexpr float kSampleScale = Bits == 8 ? 1.0f / 128.0f : 1.0f / 32768.0f;

struct FrameValue {
    float left;
    float right;
};

template <int Bits, int Channels>
FrameValue FrameAt(const std::uint8_t* ring, std::uint32_t frame) {
    constexpr int kBytes = Bits / 8;
    const std::uint8_t* p = ring + static_cast<std::size_t>(frame) * kBytes * Channels;
    const float left = RawSampleAt<Bits>(p) * kSampleScale<Bits>;
    if constexpr (Channels == 1) {
        return {left, left};
    } else {
        return {left, RawSampleAt<Bits>(p + kBytes) * kSampleScale<Bits>};
    }
}

// The dot product of a kernel row (interpolated `between` towards the next phase) with
// contiguous interleaved samples, in kLanes independent sums: no reordering of float additions
// is needed to run the lanes side by side.
template <int Bits, int Channels>
FrameValue Dot(const std::uint8_t* samples, const float* w, const float* d, float between,
               int length) {
    constexpr int kLanes = SincKernel::kLanes;
    constexpr int kBytes = Bits / 8;
    float sum[kLanes] = {};
    for (int k = 0; k < length; k += kLanes) {
        for (int j = 0; j < kLanes; ++j) {
            sum[j] +=
                RawSampleAt<Bits>(samples + (k + j) * kBytes) * (w[k + j] + between * d[k + j]);
        }
    }
    if constexpr (Channels == 1) {
        float total = 0.0f;
        for (float s : sum) total += s;
        total *= kSampleScale<Bits>;
        return {total, total};
    } else {
        // Even lanes are left, odd lanes right.
        float left = 0.0f;
        float right = 0.0f;
        for (int j = 0; j < kLanes; j += 2) {
            left += sum[j];
            right += sum[j + 1];
        }
        return {left * kSampleScale<Bits>, right * kSampleScale<Bits>};
    }
}

// The frame at a fractional 32.32 position, filtered by the kernel from the frames around it.
template <int Bits, int Channels>
FrameValue FilteredFrameAt(const std::uint8_t* ring, std::uint32_t ringFrames,
                           std::uint64_t position, const SincKernel& kernel) {
    constexpr int kFractionShift = 32 - SincKernel::kPhaseBits;
    constexpr float kSlopeScale = 1.0f / static_cast<float>(std::uint32_t{1} << kFractionShift);
    constexpr std::uint32_t kFrameBytes = Bits / 8 * Channels;
    const auto fraction = static_cast<std::uint32_t>(position);
    const std::uint32_t phase = fraction >> kFractionShift;
    const float between =
        static_cast<float>(fraction & ((std::uint32_t{1} << kFractionShift) - 1)) * kSlopeScale;
    std::uint32_t first = static_cast<std::uint32_t>(position >> 32) + ringFrames -
                          static_cast<std::uint32_t>(kernel.halfTaps() - 1);
    if (first >= ringFrames) first -= ringFrames;
    const auto span = static_cast<std::uint32_t>(kernel.span());
    const std::uint8_t* samples = ring + static_cast<std::size_t>(first) * kFrameBytes;
    // Around the ring's end the frames are copied together first.
    std::uint8_t joined[SincKernel::kMaxSpan * kFrameBytes];
    if (first + span > ringFrames) {
        const std::uint32_t head = (ringFrames - first) * kFrameBytes;
        std::memcpy(joined, samples, head);
        std::memcpy(joined + head, ring, span * kFrameBytes - head);
        samples = joined;
    }
    return Dot<Bits, Channels>(samples, kernel.weights(phase, Channels),
                               kernel.slopes(phase, Channels), between, kernel.rowLength(Channels));
}

// Adds frames of one buffer into the stereo accumulator at a constant gain, from a 32.32
// position, returning the position after them. Without a kernel the buffer is at the device
// rate and its frames are taken as they are.
template <int Bits, int Channels>
std::uint64_t MixSpan(float* acc, std::uint32_t frames, const std::uint8_t* ring,
                      std::uint32_t ringFrames, std::uint64_t position, std::uint64_t step,
                      const SincKernel* kernel, StereoGain gain, StereoGain slope) {
    if (kernel == nullptr && step == kUnity && slope.left == 0.0f && slope.right == 0.0f) {
        // The common case, a file at the device rate at a steady level: whole runs of frames
        // up to the ring's end, which the compiler turns into vector code.
        auto frame = static_cast<std::uint32_t>(position >> 32);
        for (std::uint32_t i = 0; i < frames;) {
            const std::uint32_t run = std::min(frames - i, ringFrames - frame);
            float* a = acc + 2 * static_cast<std::size_t>(i);
            for (std::uint32_t k = 0; k < run; ++k) {
                const FrameValue v = FrameAt<Bits, Channels>(ring, frame + k);
                a[2 * k] += v.left * gain.left;
                a[2 * k + 1] += v.right * gain.right;
            }
            i += run;
            frame += run;
            if (frame == ringFrames) frame = 0;
        }
        return (static_cast<std::uint64_t>(frame) << 32) | (position & 0xffffffffu);
    }
    const std::uint64_t wrap = static_cast<std::uint64_t>(ringFrames) << 32;
    float gl = gain.left;
    float gr = gain.right;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const FrameValue v =
            kernel != nullptr
                ? FilteredFrameAt<Bits, Channels>(ring, ringFrames, position, *kernel)
                : FrameAt<Bits, Channels>(ring, static_cast<std::uint32_t>(position >> 32));
        gl += slope.left;
        gr += slope.right;
        acc[2 * i] += v.left * gl;
        acc[2 * i + 1] += v.right * gr;
        position += step;
        if (position >= wrap) position -= wrap;
    }
    return position;
}

// The gain glides from `from` to `to` over the first kRampFrames, then stays.
template <int Bits, int Channels>
std::uint64_t MixInto(float* acc, std::uint32_t frames, const std::uint8_t* ring,
                      std::uint32_t ringFrames, std::uint64_t position, std::uint64_t step,
                      const SincKernel* kernel, StereoGain from, StereoGain to) {
    std::uint32_t ramp = 0;
    if (from.left != to.left || from.right != to.right) {
        ramp = std::min(frames, kRampFrames);
        const float inv = 1.0f / static_cast<float>(ramp);
        const StereoGain slope{(to.left - from.left) * inv, (to.right - from.right) * inv};
        position = MixSpan<Bits, Channels>(acc, ramp, ring, ringFrames, position, step, kernel,
                                           from, slope);
    }
    return MixSpan<Bits, Channels>(acc + 2 * ramp, frames - ramp, ring, ringFrames, position, step,
                                   kernel, to, StereoGain{0.0f, 0.0f});
}

using MixFn = std::uint64_t (*)(float*, std::uint32_t, const std::uint8_t*, std::uint32_t,
                                std::uint64_t, std::uint64_t, const SincKernel*, StereoGain,
                                StereoGain);

MixFn MixFunctionFor(const WaveFormat& f) {
    if (f.wBitsPerSample == 8) return f.nChannels == 1 ? MixInto<8, 1> : MixInto<8, 2>;
    return f.nChannels == 1 ? MixInto<16, 1> : MixInto<16, 2>;
}

}  // namespace

SoftwareMixer::SoftwareMixer(const OutputFormat& deviceFormat,
                             std::function<void(const std::string&)> onDeviceLost,
                             std::function<void()> onDeviceRestored)
    : deviceFormat_(deviceFormat),
      onDeviceLost_(std::move(onDeviceLost)),
      onDeviceRestored_(std::move(onDeviceRestored)) {}

SoftwareMixer::~SoftwareMixer() {
    for (auto& slot : slots_) slot.store(nullptr, std::memory_order_release);
    waitForRenderToLeave();
}

SoundBuffer& SoftwareMixer::createBuffer(std::uint32_t size, const WaveFormat& format) {
    const bool playable = (format.nChannels == 1 || format.nChannels == 2) &&
                          (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
                          format.nSamplesPerSec > 0 && format.nBlockAlign > 0 &&
                          size / format.nBlockAlign > 2 * SoundBuffer::kHistoryFrames;
    if (!playable) throw SilentAbort();
    for (int i = 0; i < kMaxBuffers; ++i) {
        if (owned_[i]) continue;
        owned_[i] = std::make_unique<SoundBuffer>(*this, size - size % format.nBlockAlign, format,
                                                  kernelFor(format.nSamplesPerSec));
        slots_[i].store(owned_[i].get(), std::memory_order_release);
        return *owned_[i];
    }
    throw SilentAbort();
}

std::int64_t SoftwareMixer::usOfFrames(std::uint32_t frames) const noexcept {
    return static_cast<std::int64_t>(frames) * 1000000 / deviceFormat_.sampleRate;
}

std::shared_ptr<const SincKernel> SoftwareMixer::kernelFor(std::uint32_t sourceRate) {
    if (sourceRate == deviceFormat_.sampleRate) return nullptr;
    for (const auto& k : kernels_) {
        if (k->sourceRate() == sourceRate) return k;
    }
    return kernels_.emplace_back(
        std::make_shared<const SincKernel>(sourceRate, deviceFormat_.sampleRate));
}

void SoftwareMixer::releaseBuffer(SoundBuffer& buffer) {
    for (int i = 0; i < kMaxBuffers; ++i) {
        if (owned_[i].get() != &buffer) continue;
        slots_[i].store(nullptr, std::memory_order_seq_cst);
        waitForRenderToLeave();
        owned_[i].reset();
        return;
    }
}

void SoftwareMixer::waitForRenderToLeave() const {
    const std::uint64_t seen = renderEpoch_.load(std::memory_order_seq_cst);
    if ((seen & 1) == 0) return;
    while (renderEpoch_.load(std::memory_order_seq_cst) == seen) std::this_thread::yield();
}

void SoftwareMixer::render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept {
    renderEpoch_.fetch_add(1, std::memory_order_seq_cst);
    std::uint32_t done = 0;
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, kBlockFrames);
        renderBlock(out, n, heardAtUs + usOfFrames(done));
        done += n;
        out += static_cast<std::size_t>(n) * deviceFormat_.channels;
        frames -= n;
    }
    renderEpoch_.fetch_add(1, std::memory_order_seq_cst);
}

std::uint32_t SoftwareMixer::framesBeforeStart(SoundBuffer& b, std::uint32_t frames,
                                               std::int64_t heardAtUs) const noexcept {
    std::int64_t startAt = b.startAtUs_.load(std::memory_order_relaxed);
    if (startAt == SoundBuffer::kAtOnce) return 0;
    std::uint32_t before = 0;
    if (startAt > heardAtUs) {
        // To the nearest frame.
        const std::int64_t until =
            ((startAt - heardAtUs) * deviceFormat_.sampleRate + 500000) / 1000000;
        if (until >= frames) return frames;
        before = static_cast<std::uint32_t>(until);
    }
    b.startAtUs_.compare_exchange_strong(startAt, SoundBuffer::kAtOnce, std::memory_order_relaxed);
    return before;
}

void SoftwareMixer::renderBlock(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept {
    float* acc = accumulator_.data();
    std::fill(acc, acc + static_cast<std::size_t>(frames) * 2, 0.0f);
    for (auto& slot : slots_) {
        // seq_cst, not acquire: this load and the releaser's slot store are the two halves of a
        // store-then-check handshake (see the header).
        SoundBuffer* b = slot.load(std::memory_order_seq_cst);
        if (b == nullptr) continue;
        if (!b->playing_.load(std::memory_order_seq_cst)) {
            b->heardLastBlock_ = false;
            continue;
        }
        b->writeGeneration_.load(std::memory_order_acquire);
        const std::uint32_t before = framesBeforeStart(*b, frames, heardAtUs);
        if (before == frames) {
            b->heardLastBlock_ = false;
            continue;
        }
        if (b->firstHeardUs_.load(std::memory_order_relaxed) == SoundBuffer::kNotHeard) {
            b->firstHeardUs_.store(heardAtUs + usOfFrames(before), std::memory_order_release);
        }
        const StereoGain target = GainsOf(b->volume_.load(std::memory_order_relaxed),
                                          b->pan_.load(std::memory_order_relaxed),
                                          b->trim_.load(std::memory_order_relaxed));
        // A buffer that starts playing starts at its level; changes while it plays are ramped.
        const StereoGain from =
            b->heardLastBlock_ ? StereoGain{b->gainLeft_, b->gainRight_} : target;
        // Rounded up, so that whole seconds of device frames land on whole source frames.
        const std::uint64_t step = ((static_cast<std::uint64_t>(b->format_.nSamplesPerSec) << 32) +
                                    deviceFormat_.sampleRate - 1) /
                                   deviceFormat_.sampleRate;
        std::uint64_t start = b->position_.load(std::memory_order_acquire);
        // Only the frames the filler put ahead are played; a late filler leaves silence.
        const std::uint32_t ahead = b->framesAhead_.load(std::memory_order_acquire);
        const std::uint64_t playable = (static_cast<std::uint64_t>(ahead) << 32) / step;
        std::uint32_t heard = frames - before;
        if (playable < heard) {
            heard = static_cast<std::uint32_t>(playable);
            b->starved_.store(true, std::memory_order_release);
        }
        const std::uint64_t end =
            MixFunctionFor(b->format_)(acc + 2 * before, heard, b->bytes_.get(), b->ringFrames_,
                                       start, step, b->kernel_.get(), from, target);
        // A cursor reset from the control side wins over this advance.
        if (b->position_.compare_exchange_strong(start, end, std::memory_order_acq_rel)) {
            const std::uint32_t oldFrame = static_cast<std::uint32_t>(start >> 32);
            const std::uint32_t newFrame = static_cast<std::uint32_t>(end >> 32);
            const std::uint32_t advanced =
                newFrame >= oldFrame ? newFrame - oldFrame : newFrame + b->ringFrames_ - oldFrame;
            b->framesAhead_.fetch_sub(std::min(advanced, ahead), std::memory_order_acq_rel);
        }
        b->gainLeft_ = target.left;
        b->gainRight_ = target.right;
        b->heardLastBlock_ = true;
    }
    float peak = 0.0f;
    if (deviceFormat_.channels == 1) {
        for (std::uint32_t i = 0; i < frames; ++i) {
            out[i] = std::clamp((acc[2 * i] + acc[2 * i + 1]) * 0.5f, -1.0f, 1.0f);
            peak = std::max(peak, std::fabs(out[i]));
        }
    } else {
        for (std::uint32_t i = 0; i < 2 * frames; ++i) {
            out[i] = std::clamp(acc[i], -1.0f, 1.0f);
            peak = std::max(peak, std::fabs(out[i]));
        }
    }
    // Kept until the UI thread takes it: the highest block since then.
    float kept = outputPeak_.load(std::memory_order_relaxed);
    while (peak > kept &&
           !outputPeak_.compare_exchange_weak(kept, peak, std::memory_order_relaxed)) {
    }
}

void SoftwareMixer::deviceLost(const std::string& reason) noexcept {
    if (deviceLost_.exchange(true, std::memory_order_acq_rel)) return;
    if (onDeviceLost_) {
        try {
            onDeviceLost_(reason);
        } catch (...) {
            // Reporting must not take the output thread down.
        }
    }
}

void SoftwareMixer::deviceRestored() noexcept {
    if (!deviceLost_.exchange(false, std::memory_order_acq_rel)) return;
    if (onDeviceRestored_) {
        try {
            onDeviceRestored_();
        } catch (...) {
            // Reporting must not take the output thread down.
        }
    }
}

}  // namespace pelvano::core
