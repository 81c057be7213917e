// The audio callback's time with the items' loudness gain off and on, side by side in one run:
// the software mixer renders blocks of three playing buffers (two at the device rate, one
// resampled), all with a trim of 1 (gain off) or with trims of −9, +5 and −3 dB (gain on).
// The runs alternate, and each figure is the best of them: the machine may be shared.
// Usage: bench_mixer_gain [BLOCKS]   (default 20000 blocks of 512 frames per run)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/audio/SoftwareMixer.h"

using namespace pelvano;

namespace {

constexpr std::uint32_t kFrames = 512;
constexpr int kRuns = 7;

core::WaveFormat Stereo16(std::uint32_t rate) {
    core::WaveFormat f;
    f.nChannels = 2;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = rate * 4;
    return f;
}

// Nanoseconds per callback over `blocks` callbacks.
double TimeCallbacks(core::SoftwareMixer& mixer, std::vector<core::SoundBuffer*>& buffers,
                     int blocks) {
    std::vector<float> out(kFrames * 2);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < blocks; ++i) {
        // The filler's part, kept out of the way: every buffer always has frames ahead.
        for (core::SoundBuffer* b : buffers) b->addFramesAhead(kFrames * 2);
        mixer.render(out.data(), kFrames, 0);
    }
    const double ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    return ns / blocks;
}

}  // namespace

int main(int argc, char** argv) {
    const int blocks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    core::SoftwareMixer mixer({44100, 2}, [](const std::string&) {});
    std::vector<core::SoundBuffer*> buffers;
    const std::uint32_t rates[] = {44100, 44100, 48000};
    for (const std::uint32_t rate : rates) {
        const std::uint32_t size = rate * 4 * 4;  // 4 s, as a channel's ring
        core::SoundBuffer& b = mixer.createBuffer(size, Stereo16(rate));
        std::vector<std::int16_t> noise(size / 2);
        for (std::size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<std::int16_t>((i * 7919) % 20000 - 10000);
        b.write(0, noise.data(), size);
        b.setVolume(-600);
        b.playLooping();
        buffers.push_back(&b);
    }
    const float onTrims[] = {std::pow(10.0f, -9.0f / 20), std::pow(10.0f, 5.0f / 20),
                             std::pow(10.0f, -3.0f / 20)};
    double off = 1e18;
    double on = 1e18;
    for (int run = 0; run < kRuns; ++run) {
        for (core::SoundBuffer* b : buffers) b->setTrim(1.0f);
        off = std::min(off, TimeCallbacks(mixer, buffers, blocks));
        for (std::size_t i = 0; i < buffers.size(); ++i) buffers[i]->setTrim(onTrims[i]);
        on = std::min(on, TimeCallbacks(mixer, buffers, blocks));
    }
    const double budgetNs = 1e9 * kFrames / 44100.0;
    std::printf("mixer callback, %u frames, 3 buffers (one resampled), best of %d runs of %d:\n",
                kFrames, kRuns, blocks);
    std::printf("  gain off: %8.0f ns  (%.2f%% of the block's %.1f ms)\n", off,
                100.0 * off / budgetNs, budgetNs / 1e6);
    std::printf("  gain on:  %8.0f ns  (%.2f%%)\n", on, 100.0 * on / budgetNs);
    std::printf("  on/off:   %8.3f\n", on / off);
    return 0;
}
