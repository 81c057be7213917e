// The encoder on its own: each format's bytes decode back to the mix's length and level, and
// an Ogg Vorbis stream carries each new title in the comments of a new chained stream.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "platform/stream/StreamEncoder.h"
#include "support/EncodedTone.h"
#include "support/TempDir.h"

namespace pelvano::platform {
namespace {

std::vector<float> sine(std::uint32_t frames, double amplitude, std::uint32_t rate) {
    std::vector<float> v(2 * static_cast<std::size_t>(frames));
    for (std::uint32_t i = 0; i < frames; ++i)
        v[2 * i] = v[2 * i + 1] =
            static_cast<float>(amplitude * std::sin(2 * M_PI * 440 * i / rate));
    return v;
}

struct Decoded {
    double seconds = 0;
    double rms = 0;
};

Decoded decode(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    const std::string pcm = test::DecodedSamples(path);
    const auto* s = reinterpret_cast<const std::int16_t*>(pcm.data());
    const std::size_t samples = pcm.size() / 2;
    double sum = 0;
    for (std::size_t i = 0; i < samples; ++i) sum += (s[i] / 32768.0) * (s[i] / 32768.0);
    // Every format here decodes to stereo at 44.1 or 48 kHz; the rate is read from the length.
    Decoded d;
    d.rms = samples ? std::sqrt(sum / static_cast<double>(samples)) : 0;
    d.seconds = static_cast<double>(samples) / 2;
    return d;
}

class StreamEncoderTest : public ::testing::TestWithParam<const char*> {
  protected:
    test::TempDir dir;
};

TEST_P(StreamEncoderTest, TheStreamDecodesToTheMixsLengthAndLevel) {
    StreamCodec codec{};
    ASSERT_TRUE(StreamEncoder::parseFormat(GetParam(), codec));
    StreamEncoder encoder(codec, 128, 44100, {"开始", ""});
    std::string bytes;
    const std::vector<float> mix = sine(44100 * 3, 0.5, 44100);
    // Blocks of the sound card's odd sizes.
    for (std::size_t at = 0; at < mix.size() / 2; at += 441)
        encoder.encode(mix.data() + 2 * at, 441, bytes);
    encoder.finish(bytes);
    const Decoded d = decode(dir.file(std::string("out.") + GetParam()), bytes);
    const double rate = codec == StreamCodec::Opus ? 48000 : 44100;
    EXPECT_NEAR(d.seconds / rate, 3.0, 0.1);
    EXPECT_NEAR(d.rms, 0.5 / std::sqrt(2.0), 0.03);
}

TEST_P(StreamEncoderTest, EachTitleBeginsAChainedVorbisStreamWithItsComments) {
    StreamCodec codec{};
    ASSERT_TRUE(StreamEncoder::parseFormat(GetParam(), codec));
    StreamEncoder encoder(codec, 96, 48000, {"第一首", "歌手甲"});
    std::string bytes;
    const std::vector<float> mix = sine(48000, 0.25, 48000);
    encoder.encode(mix.data(), 48000, bytes);
    encoder.beginTitle({"第二首", "歌手乙"}, bytes);
    encoder.encode(mix.data(), 48000, bytes);
    encoder.finish(bytes);
    // A player goes on from one chained stream to the next: both seconds decode.
    const Decoded d = decode(dir.file(std::string("chained.") + GetParam()), bytes);
    EXPECT_NEAR(d.seconds / 48000, 2.0, 0.1);
    if (!encoder.titlesInStream()) {
        EXPECT_EQ(bytes.find("第二首"), std::string::npos);
        return;
    }
    // Two logical streams, each opened by its own headers with its own title.
    std::size_t streams = 0;
    for (std::size_t at = 0; (at = bytes.find("OggS", at)) != std::string::npos; at += 4)
        streams += (static_cast<unsigned char>(bytes[at + 5]) & 0x02) != 0;  // beginning of stream
    EXPECT_EQ(streams, 2u);
    const std::size_t first = bytes.find("第一首");
    const std::size_t second = bytes.find("第二首");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(bytes.find("歌手乙"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Formats, StreamEncoderTest, ::testing::Values("mp3", "ogg", "opus"));

TEST(StreamEncoderFormatTest, OnlyTheThreeFormatsAreKnown) {
    StreamCodec codec{};
    EXPECT_TRUE(StreamEncoder::parseFormat("MP3", codec));
    EXPECT_EQ(codec, StreamCodec::Mp3);
    EXPECT_TRUE(StreamEncoder::parseFormat("Opus", codec));
    EXPECT_EQ(codec, StreamCodec::Opus);
    EXPECT_FALSE(StreamEncoder::parseFormat("aac", codec));
    EXPECT_FALSE(StreamEncoder::parseFormat("", codec));
}

}  // namespace
}  // namespace pelvano::platform
