#include "core/stream/TeeSoundOutput.h"

namespace pelvano::core {

namespace {

// Sits between the device's callback and the station's renderer.
class CopyingRenderer final : public AudioRenderer {
  public:
    CopyingRenderer(AudioRenderer& inner, MixRing* ring) : inner_(inner), ring_(ring) {}
    // The device's format is known once open() returns; blocks before that are not copied.
    void startCopying(std::uint32_t channels) {
        channels_ = channels;
        copying_.store(ring_ != nullptr, std::memory_order_release);
    }

    void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept override {
        inner_.render(out, frames, heardAtUs);
        if (copying_.load(std::memory_order_acquire)) ring_->push(out, frames, channels_);
    }
    void deviceLost(const std::string& reason) noexcept override { inner_.deviceLost(reason); }
    void deviceRestored() noexcept override { inner_.deviceRestored(); }

  private:
    AudioRenderer& inner_;
    MixRing* ring_;
    std::uint32_t channels_ = 2;
    std::atomic<bool> copying_{false};
};

}  // namespace

class TeeSoundOutput::Stream final : public OutputStream {
  public:
    Stream(TeeSoundOutput& owner, AudioRenderer& renderer, bool feeds)
        : owner_(owner), feeds_(feeds), renderer_(renderer, feeds ? &owner.ring_ : nullptr) {}
    ~Stream() override {
        device_.reset();  // no callback runs after this
        if (feeds_) owner_.feeding_.store(false, std::memory_order_release);
    }
    void open(int deviceIndex, const OutputFormat& format) {
        device_ = owner_.device_.open(deviceIndex, format, renderer_);
        const OutputFormat actual = device_->format();
        if (feeds_) owner_.ring_.setSampleRate(actual.sampleRate);
        renderer_.startCopying(actual.channels);
    }
    OutputFormat format() const override { return device_->format(); }

  private:
    TeeSoundOutput& owner_;
    bool feeds_;
    CopyingRenderer renderer_;
    std::unique_ptr<OutputStream> device_;
};

std::unique_ptr<OutputStream> TeeSoundOutput::open(int deviceIndex, const OutputFormat& format,
                                                   AudioRenderer& renderer) {
    const bool feeds = !feeding_.exchange(true, std::memory_order_acq_rel);
    auto stream = std::make_unique<Stream>(*this, renderer, feeds);
    stream->open(deviceIndex, format);  // a throw releases the ring again through ~Stream
    return stream;
}

}  // namespace pelvano::core
