#include "platform/virtual/VirtualOutput.h"

#include <algorithm>

#include "core/app/Encoding.h"

namespace pelvano::platform {

class VirtualOutput::Stream final : public core::OutputStream {
  public:
    Stream(VirtualOutput& owner, core::AudioRenderer& renderer)
        : owner_(owner), renderer_(renderer) {
        owner_.streams_.push_back(this);
    }
    ~Stream() override {
        auto& list = owner_.streams_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    core::OutputFormat format() const override { return {owner_.sampleRate_, 2}; }

    VirtualOutput& owner_;
    core::AudioRenderer& renderer_;
};

VirtualOutput::VirtualOutput(std::uint32_t sampleRate, FrameSink* sink)
    : sampleRate_(sampleRate), sink_(sink) {
    devices_.push_back({core::Utf8ToGbk("主声音驱动程序")});
    devices_.push_back({core::Utf8ToGbk("虚拟输出")});
    if (sink_ != nullptr) sink_->begin({sampleRate_, 2});
}

VirtualOutput::~VirtualOutput() = default;

std::unique_ptr<core::OutputStream> VirtualOutput::open(int /*deviceIndex*/,
                                                        const core::OutputFormat& /*format*/,
                                                        core::AudioRenderer& renderer) {
    return std::make_unique<Stream>(*this, renderer);
}

void VirtualOutput::pullUntil(std::uint64_t elapsedMs) {
    constexpr std::uint32_t kMaxFrames = 4096;
    const std::uint64_t due = elapsedMs * sampleRate_ / 1000;
    while (framesRendered_ < due) {
        const auto n =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kMaxFrames, due - framesRendered_));
        mix_.resize(static_cast<std::size_t>(n) * 2);
        // Frame 0 is heard at tick 0 of the simulation's clock.
        const auto heardAtUs = static_cast<std::int64_t>(framesRendered_ * 1000000 / sampleRate_);
        if (streams_.size() == 1) {
            streams_.front()->renderer_.render(mix_.data(), n, heardAtUs);
        } else {
            std::fill(mix_.begin(), mix_.end(), 0.0f);
            block_.resize(mix_.size());
            for (Stream* s : streams_) {
                s->renderer_.render(block_.data(), n, heardAtUs);
                for (std::size_t i = 0; i < block_.size(); ++i) mix_[i] += block_[i];
            }
        }
        if (sink_ != nullptr) sink_->write(mix_.data(), n);
        framesRendered_ += n;
    }
}

void VirtualOutput::loseDevice() {
    for (Stream* s : streams_) s->renderer_.deviceLost("virtual device removed");
}

}  // namespace pelvano::platform
