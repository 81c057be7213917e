#pragma once
// A sound card's view of the station's rendering: wraps an output and times every callback
// (how long the renderer took, how long since the previous callback), so a test can tell that
// the card was fed on time while the stream's encoder or server misbehaved.
#include <algorithm>
#include <atomic>
#include <chrono>

#include "core/ports/SoundOutput.h"

namespace pelvano::test {

class TimedOutput final : public core::SoundOutput {
  public:
    explicit TimedOutput(core::SoundOutput& card) : card_(card) {}

    const std::vector<core::OutputDevice>& devices() const override { return card_.devices(); }
    std::unique_ptr<core::OutputStream> open(int deviceIndex, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override {
        timer_.inner = &renderer;
        return card_.open(deviceIndex, format, timer_);
    }

    std::uint64_t callbacks() const { return timer_.callbacks.load(); }
    std::uint64_t frames() const { return timer_.frames.load(); }
    double longestRenderMs() const { return timer_.longestRenderUs.load() / 1000.0; }
    double longestGapMs() const { return timer_.longestGapUs.load() / 1000.0; }

  private:
    struct Timer final : core::AudioRenderer {
        void render(float* out, std::uint32_t n, std::int64_t heardAtUs) noexcept override {
            const auto start = std::chrono::steady_clock::now();
            if (last != std::chrono::steady_clock::time_point{}) raise(longestGapUs, start - last);
            inner->render(out, n, heardAtUs);
            last = std::chrono::steady_clock::now();
            raise(longestRenderUs, last - start);
            callbacks.fetch_add(1);
            frames.fetch_add(n);
        }
        void deviceLost(const std::string& r) noexcept override { inner->deviceLost(r); }
        void deviceRestored() noexcept override { inner->deviceRestored(); }
        static void raise(std::atomic<std::int64_t>& longest, std::chrono::nanoseconds d) {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
            if (us > longest.load()) longest.store(us);
        }
        core::AudioRenderer* inner = nullptr;
        std::chrono::steady_clock::time_point last{};
        std::atomic<std::uint64_t> callbacks{0}, frames{0};
        std::atomic<std::int64_t> longestRenderUs{0}, longestGapUs{0};
    };
    core::SoundOutput& card_;
    Timer timer_;
};

}  // namespace pelvano::test
