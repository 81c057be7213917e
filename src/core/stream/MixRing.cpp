#include "core/stream/MixRing.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace pelvano::core {

namespace {
std::uint32_t roundUpToPowerOfTwo(std::uint32_t n) {
    std::uint32_t p = 1;
    while (p < n) p <<= 1;
    return p;
}
}  // namespace

MixRing::MixRing(std::uint32_t capacityFrames)
    : mask_(roundUpToPowerOfTwo(std::max<std::uint32_t>(capacityFrames, 2)) - 1),
      samples_(new float[static_cast<std::size_t>(mask_ + 1) * kChannels]()) {}

bool MixRing::waitForRoom(std::uint32_t frames) noexcept {
    const std::uint64_t w = written_.load(std::memory_order_relaxed);
    const auto hasRoom = [&] {
        return w + frames - read_.load(std::memory_order_acquire) <= capacity();
    };
    if (hasRoom()) return true;
    if (!lossless_.load(std::memory_order_acquire)) return false;
    for (int waited = 0; waited < kLosslessPatienceMs; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (hasRoom()) return true;
    }
    return false;
}

void MixRing::push(const float* samples, std::uint32_t frames, std::uint32_t channels) noexcept {
    if (frames > capacity() || !waitForRoom(frames)) {
        dropped_.fetch_add(frames, std::memory_order_release);
        return;
    }
    const std::uint64_t w = written_.load(std::memory_order_relaxed);
    for (std::uint32_t i = 0; i < frames; ++i) {
        float* slot = &samples_[((w + i) & mask_) * kChannels];
        const float* in = samples + static_cast<std::size_t>(i) * channels;
        slot[0] = in[0];
        slot[1] = channels > 1 ? in[1] : in[0];
    }
    written_.store(w + frames, std::memory_order_release);
}

std::uint32_t MixRing::pop(float* out, std::uint32_t maxFrames) noexcept {
    const std::uint64_t r = read_.load(std::memory_order_relaxed);
    const std::uint64_t available = written_.load(std::memory_order_acquire) - r;
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, maxFrames));
    for (std::uint32_t i = 0; i < n; ++i) {
        const float* slot = &samples_[((r + i) & mask_) * kChannels];
        out[i * kChannels] = slot[0];
        out[i * kChannels + 1] = slot[1];
    }
    read_.store(r + n, std::memory_order_release);
    return n;
}

void MixRing::skipAll() noexcept {
    read_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
}

}  // namespace pelvano::core
