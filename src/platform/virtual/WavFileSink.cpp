#include "platform/virtual/WavFileSink.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace pelvano::platform {

namespace {

constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

void PutLe(std::uint8_t* p, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

WavFileSink::WavFileSink(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) throw std::runtime_error("cannot create " + path);
}

WavFileSink::~WavFileSink() {
    if (file_ == nullptr) return;
    try {
        finish();
    } catch (const std::exception&) {
        // Reported by finish() to callers that ask; a destructor must not throw.
    }
}

void WavFileSink::begin(const core::OutputFormat& format) {
    format_ = format;
    writeHeader();
}

void WavFileSink::writeHeader() {
    const std::uint32_t data = static_cast<std::uint32_t>(std::min(dataBytes_, kMaxDataBytes));
    const std::uint32_t align = format_.channels * 2u;
    std::uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutLe(h + 4, 36 + data, 4);
    PutLe(h + 16, 16, 4);
    PutLe(h + 20, 1, 2);
    PutLe(h + 22, format_.channels, 2);
    PutLe(h + 24, format_.sampleRate, 4);
    PutLe(h + 28, format_.sampleRate * align, 4);
    PutLe(h + 32, align, 2);
    PutLe(h + 34, 16, 2);
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    PutLe(h + 40, data, 4);
    const long end = std::ftell(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h, 1, 44, file_) != 44) failed_ = true;
    if (end > 44) std::fseek(file_, end, SEEK_SET);
    bytesSinceHeader_ = 0;
}

void WavFileSink::write(const float* frames, std::uint32_t count) {
    if (file_ == nullptr) return;
    const std::size_t n = static_cast<std::size_t>(count) * format_.channels;
    pcm_.resize(n);
    std::int16_t* pcm = pcm_.data();
    for (std::size_t i = 0; i < n; ++i) {
        // Rounded half away from zero; written without branches so that it vectorises.
        const float v = std::min(std::max(frames[i], -1.0f), 1.0f) * 32767.0f;
        pcm[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(v + std::copysign(0.5f, v)));
    }
    if (std::fwrite(pcm_.data(), sizeof(std::int16_t), n, file_) != n) failed_ = true;
    dataBytes_ += n * sizeof(std::int16_t);
    bytesSinceHeader_ += n * sizeof(std::int16_t);
    if (bytesSinceHeader_ >=
        static_cast<std::uint64_t>(format_.sampleRate) * format_.channels * 2) {
        writeHeader();
    }
}

void WavFileSink::finish() {
    if (file_ == nullptr) return;
    writeHeader();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (failed_) throw std::runtime_error("cannot write " + path_);
}

}  // namespace pelvano::platform
