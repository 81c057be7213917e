// The tee between the station and its sound card: the card gets exactly what the station
// rendered, the ring gets a copy at the card's rate, and only one stream at a time feeds it.
#include <gtest/gtest.h>

#include <vector>

#include "core/stream/TeeSoundOutput.h"

namespace pelvano::core {
namespace {

// A sound card that renders when told to, at its own rate and channel count.
class StepOutput final : public SoundOutput {
  public:
    class Stream final : public OutputStream {
      public:
        Stream(StepOutput& owner, AudioRenderer& r) : owner_(owner), renderer(r) {}
        ~Stream() override { owner_.open_ = nullptr; }
        OutputFormat format() const override { return owner_.format_; }
        StepOutput& owner_;
        AudioRenderer& renderer;
    };
    explicit StepOutput(OutputFormat format) : format_(format) {}
    const std::vector<OutputDevice>& devices() const override { return devices_; }
    std::unique_ptr<OutputStream> open(int, const OutputFormat&, AudioRenderer& r) override {
        auto s = std::make_unique<Stream>(*this, r);
        open_ = s.get();
        return s;
    }
    std::vector<float> play(std::uint32_t frames) {
        std::vector<float> out(static_cast<std::size_t>(frames) * format_.channels);
        open_->renderer.render(out.data(), frames, 0);
        return out;
    }

  private:
    OutputFormat format_;
    std::vector<OutputDevice> devices_{{"default"}};
    Stream* open_ = nullptr;
};

class CountingRenderer final : public AudioRenderer {
  public:
    void render(float* out, std::uint32_t frames, std::int64_t) noexcept override {
        for (std::uint32_t i = 0; i < frames * channels; ++i) out[i] = static_cast<float>(next++);
    }
    void deviceLost(const std::string&) noexcept override { ++lost; }
    void deviceRestored() noexcept override {}
    std::uint32_t channels = 2;
    int next = 1;
    int lost = 0;
};

TEST(TeeSoundOutputTest, TheCardAndTheRingGetTheSameFramesAtTheCardsRate) {
    StepOutput card({48000, 2});
    MixRing ring(1024);
    TeeSoundOutput tee(card, ring);
    CountingRenderer station;
    auto stream = tee.open(0, {44100, 2}, station);
    EXPECT_EQ(stream->format().sampleRate, 48000u);
    EXPECT_EQ(ring.sampleRate(), 48000u);
    const std::vector<float> heard = card.play(100);
    std::vector<float> copy(200);
    ASSERT_EQ(ring.pop(copy.data(), 100), 100u);
    EXPECT_EQ(copy, heard);
    EXPECT_EQ(heard.front(), 1.0f);
}

TEST(TeeSoundOutputTest, AMonoCardIsCopiedAsStereo) {
    StepOutput card({44100, 1});
    MixRing ring(64);
    TeeSoundOutput tee(card, ring);
    CountingRenderer station;
    station.channels = 1;
    auto stream = tee.open(0, {44100, 2}, station);
    card.play(3);
    float copy[6];
    ASSERT_EQ(ring.pop(copy, 3), 3u);
    EXPECT_EQ(std::vector<float>(copy, copy + 6), (std::vector<float>{1, 1, 2, 2, 3, 3}));
}

TEST(TeeSoundOutputTest, OnlyOneStreamFeedsTheRingUntilItCloses) {
    StepOutput first({44100, 2});
    MixRing ring(64);
    TeeSoundOutput tee(first, ring);
    CountingRenderer a, b;
    auto streamA = tee.open(0, {}, a);
    auto streamB = tee.open(0, {}, b);  // the card now calls b
    first.play(4);
    EXPECT_EQ(ring.written(), 0u) << "a second stream must not write into the ring";
    streamB.reset();
    streamA.reset();
    auto again = tee.open(0, {}, a);
    first.play(4);
    EXPECT_EQ(ring.written(), 4u);
}

}  // namespace
}  // namespace pelvano::core
