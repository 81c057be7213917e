// Real files through the FFmpeg source, a channel and the mixer, in virtual time.
#include <gtest/gtest.h>

#include <filesystem>

#include "AudioFiles.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/MemoryCapture.h"
#include "platform/virtual/Simulation.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

class ChannelOnFilesTest : public ::testing::Test {
  protected:
    core::TcbDSMixerChannel& playing(const std::string& path, bool& ended) {
        auto& ch = mixer.AddChannel();
        ch.OnEnd = [&ended](core::TcbDSMixerChannel&) { ended = true; };
        ch.SetFileName(path);
        ch.Play();
        return ch;
    }

    TempDir dir;
    platform::MemoryCapture heard;
    platform::Simulation sim{core::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}, &heard};
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer{sim.audioServices(decoder)};
};

TEST_F(ChannelOnFilesTest, UnplayableFilesAreRefusedWhileOtherChannelsPlayOn) {
    bool ended = false;
    auto& music = playing(dir.write("music.wav", WavFile({}, Ramp16(2, 44100 * 3))), ended);
    const std::string surround = dir.file("surround.wav");
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i sine=duration=1 -ac 6 '" + surround + "'"));
    auto& other = mixer.AddChannel();
    sim.advanceBy(300);
    try {
        other.SetFileName(surround);
        ADD_FAILURE() << "a 5.1 file opened";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid number of channels.");
    }
    EXPECT_THROW(other.SetFileName(dir.write("zero.mp3", "")), core::EAudioReadError);
    EXPECT_EQ(other.FileName(), "");
    sim.advanceBy(300);
    EXPECT_EQ(music.State(), core::ChannelState::Playing);
    EXPECT_EQ(music.Position(), 600);
}

TEST_F(ChannelOnFilesTest, EightBitMonoAtElevenKilohertzPlaysToItsEnd) {
    std::string data(11025, static_cast<char>(0xA0));
    bool ended = false;
    auto& ch = playing(dir.write("u8.wav", WavFile({1, 1, 11025, 8}, data)), ended);
    EXPECT_EQ(ch.BitsPerSample(), 8);
    EXPECT_EQ(ch.Length(), 1000);
    ASSERT_TRUE(sim.runUntil([&] { return ended; }, 3000));
    EXPECT_NEAR(heard.sample(44100 / 2, 0), 0.25f, 0.001f);
    EXPECT_EQ(heard.sample(44100 + 100, 0), 0.0f);
}

TEST_F(ChannelOnFilesTest, AFileDeletedWhilePlayingIsHeardToItsEnd) {
    bool ended = false;
    const std::string path = dir.write("gone.wav", WavFile({}, Ramp16(2, 44100 * 6)));
    auto& ch = playing(path, ended);
    sim.advanceBy(1000);
    std::filesystem::remove(path);
    ASSERT_TRUE(sim.runUntil([&] { return ended; }, 10000));
    EXPECT_TRUE(ch.EndError().empty());
    EXPECT_GE(sim.nowMs(), 6000u);
    EXPECT_TRUE(sim.events().errors().empty());
}

TEST_F(ChannelOnFilesTest, AThreeHourFileKeepsItsLengthAndPositions) {
    // A sparse file: the header and three hours of silence that take no disk space.
    const std::uint32_t bytes = 8000u * 2 * 3 * 3600;
    WavLayout layout{1, 1, 8000, 16};
    layout.claimedDataBytes = bytes;
    const std::string path = dir.write("long.wav", WavFile(layout, ""));
    std::filesystem::resize_file(path, 44 + static_cast<std::uintmax_t>(bytes));
    auto& ch = mixer.AddChannel();
    bool ended = false;
    ch.OnEnd = [&](core::TcbDSMixerChannel&) { ended = true; };
    ch.SetFileName(path);
    EXPECT_EQ(ch.Length(), 3 * 3600 * 1000);
    ch.SetPosition(3 * 3600 * 1000 - 2000);
    EXPECT_EQ(ch.Position(), 3 * 3600 * 1000 - 2000);
    ch.Play();
    sim.advanceBy(1000);
    EXPECT_EQ(ch.Position(), 3 * 3600 * 1000 - 1000);
    ASSERT_TRUE(sim.runUntil([&] { return ended; }, 3000));
}

}  // namespace
}  // namespace pelvano::test
