#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "AudioFiles.h"
#include "core/audio/TcbAudioFileReader.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

using core::TcbAudioFileReader;

std::unique_ptr<TcbAudioFileReader> Open(const std::string& path) {
    platform::FfmpegSourceFactory factory;
    return std::make_unique<TcbAudioFileReader>(factory.createSource(), path);
}

std::string ReadAll(TcbAudioFileReader& reader, std::uint32_t blockSize = 10000) {
    std::string all;
    std::vector<std::uint8_t> block(blockSize);
    std::int64_t expectedStart = reader.Position();
    while (std::uint32_t n = reader.ReadBuffer(block.data(), blockSize)) {
        EXPECT_EQ(reader.SampleStartTime(), expectedStart) << "blocks follow each other";
        expectedStart = reader.SampleEndTime();
        all.append(reinterpret_cast<const char*>(block.data()), n);
    }
    return all;
}

class FfmpegSourceTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(FfmpegSourceTest, SixteenBitPcmComesOutByteForByteWithExactTimes) {
    const std::string data = Ramp16(2, 44100);
    auto reader = Open(dir.write("ramp.wav", WavFile({}, data)));
    EXPECT_EQ(reader->WaveFormat(), core::MakePcmFormat(2, 44100, 16));
    EXPECT_EQ(reader->Duration(), core::kStreamTimePerSecond);

    std::vector<std::uint8_t> block(17640);  // 100 ms
    ASSERT_EQ(reader->ReadBuffer(block.data(), 17640), 17640u);
    EXPECT_EQ(reader->SampleStartTime(), 0);
    EXPECT_EQ(reader->SampleEndTime(), 1000000);
    EXPECT_EQ(std::memcmp(block.data(), data.data(), 17640), 0);
    EXPECT_EQ(ReadAll(*reader), data.substr(17640));
    EXPECT_EQ(reader->Position(), core::kStreamTimePerSecond);
}

TEST_F(FfmpegSourceTest, SeeksLandOnTheExactFrame) {
    const std::string data = Ramp16(2, 44100 * 2);
    auto reader = Open(dir.write("ramp.wav", WavFile({}, data)));
    ReadAll(*reader);
    reader->SetPosition(12345678);  // 1.2345678 s → frame 54444
    std::vector<std::uint8_t> block(400);
    ASSERT_EQ(reader->ReadBuffer(block.data(), 400), 400u);
    EXPECT_EQ(reader->SampleStartTime(), 54444LL * 10000000 / 44100);
    EXPECT_EQ(std::memcmp(block.data(), data.data() + 54444 * 4, 400), 0);
    reader->SetPosition(0);
    ASSERT_EQ(reader->ReadBuffer(block.data(), 400), 400u);
    EXPECT_EQ(std::memcmp(block.data(), data.data(), 400), 0);
}

TEST_F(FfmpegSourceTest, WideAndFloatSamplesBecomeSixteenBitAndEightBitStays) {
    // 0.5 of full scale in every layout.
    std::string s24, s32, f32, u8;
    for (int i = 0; i < 1000; ++i) {
        s24 += std::string("\x00\x00\x40", 3);
        s32 += std::string("\x00\x00\x00\x40", 4);
        f32 += std::string("\x00\x00\x00\x3f", 4);
        u8 += static_cast<char>(0xC0);
    }
    struct Case {
        const char* name;
        WavLayout layout;
        const std::string& data;
        std::uint16_t bits;
        std::uint8_t firstByte;
        std::uint8_t secondByte;
    };
    const Case cases[] = {
        {"s24.wav", {1, 1, 44100, 24}, s24, 16, 0x00, 0x40},
        {"s32.wav", {1, 1, 44100, 32}, s32, 16, 0x00, 0x40},
        {"f32.wav", {3, 1, 44100, 32}, f32, 16, 0x00, 0x40},
        {"u8.wav", {1, 1, 11025, 8}, u8, 8, 0xC0, 0xC0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto reader = Open(dir.write(c.name, WavFile(c.layout, c.data)));
        EXPECT_EQ(reader->WaveFormat().wBitsPerSample, c.bits);
        EXPECT_EQ(reader->WaveFormat().nSamplesPerSec, c.layout.rate);
        const std::string pcm = ReadAll(*reader);
        ASSERT_EQ(pcm.size(), 1000u * c.bits / 8);
        EXPECT_EQ(static_cast<std::uint8_t>(pcm[0]), c.firstByte);
        EXPECT_EQ(static_cast<std::uint8_t>(pcm[1]), c.secondByte);
    }
}

TEST_F(FfmpegSourceTest, BrokenFilesRaiseTheDecoderText) {
    std::mt19937 random(7);
    std::string noise(20000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::string headerOnly = WavFile({}, "").substr(0, 30);
    for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"empty.mp3", ""},
                                      {"noise.mp3", noise},
                                      {"cut.wav", headerOnly}}) {
        SCOPED_TRACE(name);
        try {
            Open(dir.write(name, bytes));
            ADD_FAILURE() << "opened";
        } catch (const core::EAudioReadError& e) {
            EXPECT_NE(e.code(), 0);
            EXPECT_GT(std::strlen(e.what()), 5u);
        }
    }
    EXPECT_THROW(Open(dir.file("missing.wav")), core::EAudioReadError);
}

TEST_F(FfmpegSourceTest, AHeaderClaimingMoreDataEndsWhereTheDataEnds) {
    const std::string data = Ramp16(2, 4410);
    WavLayout liar;
    liar.claimedDataBytes = 44100 * 4 * 10;
    auto reader = Open(dir.write("liar.wav", WavFile(liar, data)));
    EXPECT_LE(reader->Duration(), 10 * core::kStreamTimePerSecond);
    EXPECT_EQ(ReadAll(*reader), data);
    EXPECT_EQ(reader->Position(), core::kStreamTimePerSecond / 10);
}

TEST_F(FfmpegSourceTest, CompressedFilesDecodeWithCountedTimes) {
    const std::string mp3 = dir.file("tone.mp3");
    const std::string wma = dir.file("tone.wma");
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a libmp3lame -b:a 128k '" + mp3 + "'"));
    ASSERT_TRUE(
        RunFfmpeg("-f lavfi -i sine=frequency=440:duration=3 -ac 1 -c:a wmav2 '" + wma + "'"));
    for (const std::string& path : {mp3, wma}) {
        SCOPED_TRACE(path);
        auto reader = Open(path);
        EXPECT_EQ(reader->WaveFormat().wBitsPerSample, 16);
        EXPECT_NEAR(static_cast<double>(reader->Duration()), 3e7, 0.1e7);
        const std::string pcm = ReadAll(*reader, 35280);
        const auto frames =
            static_cast<std::int64_t>(pcm.size() / reader->WaveFormat().nBlockAlign);
        EXPECT_EQ(reader->Position(), frames * 10000000 / 44100);
        EXPECT_NEAR(static_cast<double>(frames), 3 * 44100, 0.05 * 44100);
        reader->SetPosition(15000000);
        std::vector<std::uint8_t> block(4000);
        ASSERT_GT(reader->ReadBuffer(block.data(), 4000), 0u);
        EXPECT_EQ(reader->SampleStartTime(), 15000000);
    }
}

// The exact length of an MP3 without a Xing header, counted by the job the open hands out.
std::int64_t OpenAndCount(const std::string& path, bool& counted) {
    platform::FfmpegSource source;
    core::WaveFormat format;
    std::int64_t duration = 0;
    EXPECT_EQ(source.open(path, format, duration), 0);
    const auto job = source.exactDurationJob();
    counted = static_cast<bool>(job);
    if (job) {
        const auto exact = job();
        EXPECT_TRUE(exact.has_value());
        return exact.value_or(0);
    }
    return duration;
}

TEST(FfmpegSource, AVariableRateMp3WithoutXingHeaderIsCountedOnceAfterItsOpen) {
    TempDir dir;
    const std::string path = dir.file("vbr.mp3");
    // Silence first: the first frame's bit rate says nothing about the rest of the file.
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i anullsrc=r=44100:cl=stereo:d=10 -f lavfi -i anoisesrc=r=44100:d=30:a=0.5 "
        "-filter_complex '[0][1]concat=n=2:v=0:a=1' -c:a libmp3lame -q:a 0 -write_xing 0 '" +
        path + "'"));
    bool counted = false;
    EXPECT_NEAR(static_cast<double>(OpenAndCount(path, counted)) / core::kStreamTimePerSecond, 40.0,
                0.1);
    EXPECT_TRUE(counted) << "the open only estimates; the count is a job for a worker";
    EXPECT_NEAR(static_cast<double>(OpenAndCount(path, counted)) / core::kStreamTimePerSecond, 40.0,
                0.1);
    EXPECT_FALSE(counted) << "an unchanged file is known at once";
    // A file changed in place is counted anew.
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i anullsrc=r=44100:cl=stereo:d=5 -f lavfi -i anoisesrc=r=44100:d=15:a=0.5 "
        "-filter_complex '[0][1]concat=n=2:v=0:a=1' -c:a libmp3lame -q:a 0 -write_xing 0 '" +
        path + "'"));
    EXPECT_NEAR(static_cast<double>(OpenAndCount(path, counted)) / core::kStreamTimePerSecond, 20.0,
                0.1);
    EXPECT_TRUE(counted);
}

}  // namespace
}  // namespace pelvano::test
