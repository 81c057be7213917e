// The outputs a station runs on without a sound card, and their choice.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/audio/TcbAudioFileReader.h"
#include "platform/OutputSelection.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/PacedOutput.h"
#include "platform/virtual/WavFileSink.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

// A renderer that writes a fixed value and counts the frames it was asked for.
class CountingRenderer final : public core::AudioRenderer {
  public:
    void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept override {
        for (std::uint32_t i = 0; i < frames * 2; ++i) out[i] = 0.25f;
        const std::int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count();
        // The blocks follow each other without a gap, and the paced output renders frames whose
        // time has just come.
        if (expectedUs_ != 0 && std::llabs(heardAtUs - expectedUs_) > 1) ++gaps_;
        if (heardAtUs > now || heardAtUs < now - 2000000) ++offTime_;
        expectedUs_ = heardAtUs + static_cast<std::int64_t>(frames) * 1000000 / 44100;
        frames_.fetch_add(frames);
    }
    std::int64_t expectedUs_ = 0;
    std::atomic<int> gaps_{0};
    std::atomic<int> offTime_{0};
    void deviceLost(const std::string&) noexcept override {}
    void deviceRestored() noexcept override {}
    std::atomic<std::uint64_t> frames_{0};
};

TEST(WavFileSink, WritesWhatWouldBeHeardAsSixteenBitPcm) {
    TempDir dir;
    const std::string path = dir.file("heard.wav");
    {
        platform::WavFileSink sink(path);
        sink.begin({44100, 2});
        std::vector<float> frames = {0.5f, -0.5f, 2.0f, -2.0f};
        sink.write(frames.data(), 2);
        sink.finish();
    }
    platform::FfmpegSourceFactory decoder;
    core::TcbAudioFileReader reader(decoder.createSource(), path);
    EXPECT_EQ(reader.WaveFormat(), core::MakePcmFormat(2, 44100, 16));
    std::int16_t pcm[4] = {};
    ASSERT_EQ(reader.ReadBuffer(pcm, sizeof pcm), 8u);
    EXPECT_EQ(pcm[0], 16384);  // 0.5 × 32767, rounded
    EXPECT_EQ(pcm[1], -16384);
    EXPECT_EQ(pcm[2], 32767) << "clipped";
    EXPECT_EQ(pcm[3], -32767);
}

TEST(WavFileSink, RefusesAFileItCannotCreate) {
    TempDir dir;
    EXPECT_THROW(platform::WavFileSink(dir.file("no/such/folder.wav")), std::runtime_error);
}

TEST(PacedOutput, PullsTheRendererAndFeedsTheCapture) {
    TempDir dir;
    const std::string path = dir.file("paced.wav");
    {
        platform::PacedOutput output("capture", std::make_unique<platform::WavFileSink>(path));
        ASSERT_EQ(output.devices().size(), 2u);
        CountingRenderer renderer;
        {
            auto stream = output.open(1, {44100, 2}, renderer);
            while (renderer.frames_.load() < 4410) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        const std::uint64_t frames = renderer.frames_.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(renderer.frames_.load(), frames) << "closing the stream stops the pulls";
        EXPECT_EQ(renderer.gaps_.load(), 0) << "each block is heard where the last one ended";
        EXPECT_EQ(renderer.offTime_.load(), 0) << "frames are heard when the steady clock says";
    }
    EXPECT_GT(std::filesystem::file_size(path), 44u + 4410 * 4 - 1);
}

TEST(OutputSelection, NamesTheOutputs) {
    TempDir dir;
    EXPECT_EQ(platform::CreateSoundOutput("null")->devices().size(), 2u);
    EXPECT_EQ(platform::CreateSoundOutput("wav:" + dir.file("x.wav"))->devices().size(), 2u);
    EXPECT_THROW(platform::CreateSoundOutput("speakers"), std::invalid_argument);
    EXPECT_THROW(platform::CreateSoundOutput("wav:"), std::invalid_argument);
}

}  // namespace
}  // namespace pelvano::test
