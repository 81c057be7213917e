#include "core/audio/SoundBuffer.h"

#include <cstring>
#include <utility>

#include "core/app/SilentAbort.h"
#include "core/audio/SoftwareMixer.h"

namespace pelvano::core {

SoundBuffer::SoundBuffer(SoftwareMixer& mixer, std::uint32_t size, const WaveFormat& format,
                         std::shared_ptr<const SincKernel> kernel)
    : mixer_(mixer),
      size_(size),
      format_(format),
      ringFrames_(size / format.nBlockAlign),
      bytes_(new std::uint8_t[size]),
      kernel_(std::move(kernel)) {
    std::memset(bytes_.get(), format.wBitsPerSample == 8 ? 0x80 : 0x00, size);
}

std::uint32_t SoundBuffer::playCursor() const {
    const auto frame =
        static_cast<std::uint32_t>(position_.load(std::memory_order_acquire) >> kFracBits);
    return frame * format_.nBlockAlign;
}

void SoundBuffer::write(std::uint32_t offset, const void* data, std::uint32_t size) {
    if (offset >= size_ || size > size_ - offset) throw SilentAbort();
    std::memcpy(bytes_.get() + offset, data, size);
    writeGeneration_.fetch_add(1, std::memory_order_release);
}

void SoundBuffer::fill(std::uint32_t offset, std::uint8_t value, std::uint32_t size) {
    if (offset >= size_ || size > size_ - offset) throw SilentAbort();
    std::memset(bytes_.get() + offset, value, size);
    writeGeneration_.fetch_add(1, std::memory_order_release);
}

void SoundBuffer::playLooping(std::int64_t startAtUs) {
    if (position_.load(std::memory_order_acquire) == 0) {
        firstHeardUs_.store(kNotHeard, std::memory_order_relaxed);
    }
    startAtUs_.store(startAtUs, std::memory_order_relaxed);
    playing_.store(true, std::memory_order_release);
}

void SoundBuffer::stop() {
    playing_.store(false, std::memory_order_seq_cst);
    startAtUs_.store(kAtOnce, std::memory_order_relaxed);  // a start armed is called off too
    mixer_.waitForRenderToLeave();
}

void SoundBuffer::setCursorToZero() {
    position_.store(0, std::memory_order_release);
    framesAhead_.store(0, std::memory_order_release);
}

void SoundBuffer::setVolume(std::int32_t volume) {
    if (volume > 0 || volume < -10000) throw SilentAbort();
    volume_.store(volume, std::memory_order_relaxed);
}

void SoundBuffer::setPan(std::int32_t pan) {
    if (pan > 10000 || pan < -10000) throw SilentAbort();
    pan_.store(pan, std::memory_order_relaxed);
}

}  // namespace pelvano::core
