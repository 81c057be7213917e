#include "core/audio/SoftwareMixer.h"

#include <algorithm>
#include <cmath>
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

// Pan attenuates the opposite side by the same scale as the volume.
StereoGain GainsOf(std::int32_t volume, std::int32_t pan) {
    const float gain = GainOf(volume);
    return {gain * (pan > 0 ? GainOf(-pan) : 1.0f), gain * (pan < 0 ? GainOf(pan) : 1.0f)};
}

template <int Bits>
float SampleAt(const std::uint8_t* p) {
    if constexpr (Bits == 8) {
        return (static_cast<float>(*p) - 128.0f) * (1.0f / 128.0f);
    } else {
        const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0]) |
                                                 static_cast<std::uint16_t>(p[1] << 8));
        return static_cast<float>(v) * (1.0f / 32768.0f);
    }
}

struct FrameValue {
    float left;
    float right;
};

template <int Bits, int Channels>
FrameValue FrameAt(const std::uint8_t* ring, std::uint32_t frame) {
    constexpr int kBytes = Bits / 8;
    const std::uint8_t* p = ring + static_cast<std::size_t>(frame) * kBytes * Channels;
    const float left = SampleAt<Bits>(p);
    if constexpr (Channels == 1) {
        return {left, left};
    } else {
        return {left, SampleAt<Bits>(p + kBytes)};
    }
}

// Adds frames of one buffer into the stereo accumulator at a constant gain, from a 32.32
// position, returning the position after them. Buffers at the device rate skip interpolation.
template <int Bits, int Channels, bool Resample>
std::uint64_t MixSpan(float* acc, std::uint32_t frames, const std::uint8_t* ring,
                      std::uint32_t ringFrames, std::uint64_t position, std::uint64_t step,
                      StereoGain gain, StereoGain slope) {
    const std::uint64_t wrap = static_cast<std::uint64_t>(ringFrames) << 32;
    float gl = gain.left;
    float gr = gain.right;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto frame = static_cast<std::uint32_t>(position >> 32);
        FrameValue v = FrameAt<Bits, Channels>(ring, frame);
        if constexpr (Resample) {
            const auto frac =
                static_cast<float>(static_cast<std::uint32_t>(position)) * (1.0f / 4294967296.0f);
            const FrameValue next =
                FrameAt<Bits, Channels>(ring, frame + 1 == ringFrames ? 0 : frame + 1);
            v.left += (next.left - v.left) * frac;
            v.right += (next.right - v.right) * frac;
        }
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
template <int Bits, int Channels, bool Resample>
std::uint64_t MixInto(float* acc, std::uint32_t frames, const std::uint8_t* ring,
                      std::uint32_t ringFrames, std::uint64_t position, std::uint64_t step,
                      StereoGain from, StereoGain to) {
    std::uint32_t ramp = 0;
    if (from.left != to.left || from.right != to.right) {
        ramp = std::min(frames, kRampFrames);
        const float inv = 1.0f / static_cast<float>(ramp);
        const StereoGain slope{(to.left - from.left) * inv, (to.right - from.right) * inv};
        position = MixSpan<Bits, Channels, Resample>(acc, ramp, ring, ringFrames, position, step,
                                                     from, slope);
    }
    return MixSpan<Bits, Channels, Resample>(acc + 2 * ramp, frames - ramp, ring, ringFrames,
                                             position, step, to, StereoGain{0.0f, 0.0f});
}

using MixFn = std::uint64_t (*)(float*, std::uint32_t, const std::uint8_t*, std::uint32_t,
                                std::uint64_t, std::uint64_t, StereoGain, StereoGain);

MixFn MixFunctionFor(const WaveFormat& f, bool resample) {
    if (f.wBitsPerSample == 8) {
        if (f.nChannels == 1) return resample ? MixInto<8, 1, true> : MixInto<8, 1, false>;
        return resample ? MixInto<8, 2, true> : MixInto<8, 2, false>;
    }
    if (f.nChannels == 1) return resample ? MixInto<16, 1, true> : MixInto<16, 1, false>;
    return resample ? MixInto<16, 2, true> : MixInto<16, 2, false>;
}

}  // namespace

SoftwareMixer::SoftwareMixer(const OutputFormat& deviceFormat,
                             std::function<void(const std::string&)> onDeviceLost)
    : deviceFormat_(deviceFormat), onDeviceLost_(std::move(onDeviceLost)) {}

SoftwareMixer::~SoftwareMixer() {
    for (auto& slot : slots_) slot.store(nullptr, std::memory_order_release);
    waitForRenderToLeave();
}

SoundBuffer& SoftwareMixer::createBuffer(std::uint32_t size, const WaveFormat& format) {
    const bool playable = (format.nChannels == 1 || format.nChannels == 2) &&
                          (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
                          format.nSamplesPerSec > 0 && format.nBlockAlign > 0 &&
                          size >= format.nBlockAlign;
    if (!playable) throw SilentAbort();
    for (int i = 0; i < kMaxBuffers; ++i) {
        if (owned_[i]) continue;
        owned_[i] = std::make_unique<SoundBuffer>(*this, size - size % format.nBlockAlign, format);
        slots_[i].store(owned_[i].get(), std::memory_order_release);
        return *owned_[i];
    }
    throw SilentAbort();
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

void SoftwareMixer::render(float* out, std::uint32_t frames) noexcept {
    renderEpoch_.fetch_add(1, std::memory_order_seq_cst);
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, kBlockFrames);
        renderBlock(out, n);
        out += static_cast<std::size_t>(n) * deviceFormat_.channels;
        frames -= n;
    }
    renderEpoch_.fetch_add(1, std::memory_order_seq_cst);
}

void SoftwareMixer::renderBlock(float* out, std::uint32_t frames) noexcept {
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
        const StereoGain target = GainsOf(b->volume_.load(std::memory_order_relaxed),
                                          b->pan_.load(std::memory_order_relaxed));
        // A buffer that starts playing starts at its level; changes while it plays are ramped.
        const StereoGain from =
            b->heardLastBlock_ ? StereoGain{b->gainLeft_, b->gainRight_} : target;
        // Rounded up, so that whole seconds of device frames land on whole source frames.
        const std::uint64_t step = ((static_cast<std::uint64_t>(b->format_.nSamplesPerSec) << 32) +
                                    deviceFormat_.sampleRate - 1) /
                                   deviceFormat_.sampleRate;
        std::uint64_t start = b->position_.load(std::memory_order_acquire);
        const std::uint64_t end = MixFunctionFor(b->format_, step != kUnity)(
            acc, frames, b->bytes_.get(), b->ringFrames_, start, step, from, target);
        // A cursor reset from the control side wins over this advance.
        b->position_.compare_exchange_strong(start, end, std::memory_order_acq_rel);
        b->gainLeft_ = target.left;
        b->gainRight_ = target.right;
        b->heardLastBlock_ = true;
    }
    if (deviceFormat_.channels == 1) {
        for (std::uint32_t i = 0; i < frames; ++i) {
            out[i] = std::clamp((acc[2 * i] + acc[2 * i + 1]) * 0.5f, -1.0f, 1.0f);
        }
    } else {
        for (std::uint32_t i = 0; i < 2 * frames; ++i) out[i] = std::clamp(acc[i], -1.0f, 1.0f);
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

}  // namespace pelvano::core
