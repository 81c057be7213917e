#include "platform/virtual/PacedOutput.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/app/Encoding.h"

namespace pelvano::platform {

namespace {
constexpr auto kPeriod = std::chrono::milliseconds(10);
}

class PacedOutput::Stream final : public core::OutputStream {
  public:
    Stream(PacedOutput& owner, core::AudioRenderer& renderer, FrameSink* sink)
        : owner_(owner), renderer_(renderer), sink_(sink), format_{owner.sampleRate_, 2} {
        thread_ = std::thread([this] { run(); });
    }
    ~Stream() override {
        stop_.store(true, std::memory_order_release);
        thread_.join();
        if (sink_ != nullptr) owner_.sinkInUse_ = false;
    }
    core::OutputFormat format() const override { return format_; }

  private:
    void run() {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        // Frame k is heard k / rate after the start, on the steady clock the station ticks by.
        const auto startUs =
            std::chrono::duration_cast<std::chrono::microseconds>(start.time_since_epoch()).count();
        if (sink_ != nullptr) sink_->heardFrom(startUs);
        std::uint64_t rendered = 0;
        std::vector<float> block;
        auto wake = start;
        while (!stop_.load(std::memory_order_acquire)) {
            wake += kPeriod;
            std::this_thread::sleep_until(wake);
            const auto elapsedUs =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            const std::uint64_t due =
                static_cast<std::uint64_t>(elapsedUs) * format_.sampleRate / 1000000;
            if (due <= rendered) continue;
            const auto n = static_cast<std::uint32_t>(due - rendered);
            block.resize(static_cast<std::size_t>(n) * format_.channels);
            renderer_.render(
                block.data(), n,
                startUs + static_cast<std::int64_t>(rendered * 1000000 / format_.sampleRate));
            if (sink_ != nullptr) sink_->write(block.data(), n);
            rendered = due;
        }
    }

    PacedOutput& owner_;
    core::AudioRenderer& renderer_;
    FrameSink* sink_;
    core::OutputFormat format_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

PacedOutput::PacedOutput(const std::string& description, std::unique_ptr<FrameSink> sink,
                         std::uint32_t sampleRate)
    : sink_(std::move(sink)), sampleRate_(sampleRate) {
    devices_.push_back({core::Utf8ToGbk("主声音驱动程序")});
    devices_.push_back({description});
    if (sink_) sink_->begin({sampleRate_, 2});
}

PacedOutput::~PacedOutput() = default;

std::unique_ptr<core::OutputStream> PacedOutput::open(int /*deviceIndex*/,
                                                      const core::OutputFormat& /*format*/,
                                                      core::AudioRenderer& renderer) {
    FrameSink* sink = nullptr;
    if (sink_ && !sinkInUse_) {
        sink = sink_.get();
        sinkInUse_ = true;
    }
    return std::make_unique<Stream>(*this, renderer, sink);
}

}  // namespace pelvano::platform
