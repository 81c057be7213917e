// Tags larger than 16 KiB, as cover pictures make them: the size value then uses more than the
// low two of its four 7-bit groups. The texts behind the picture are read, and a save locates
// the audio and keeps (or drops) the picture.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/app/Encoding.h"
#include "core/tags/Id3v2Layout.h"
#include "core/tags/TID3v2Tag.h"
#include "support/ProcessOutput.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::Id3v2Frame;
using test::LyricsFrame;
using test::MpegAudio;
using test::StandardTag;
using test::TextFrame;

// A cover picture frame of that many data bytes, every byte value in it.
std::string PictureFrame(std::size_t bytes) {
    std::string data("\0image/jpeg\0\x03\0", 14);
    for (std::size_t i = data.size(); i < bytes; ++i)
        data += static_cast<char>((i * 131 + i / 256) & 0xFF);
    return Id3v2Frame("APIC", data);
}

TEST(SyncsafeSize, EachGroupHoldsSevenBits) {
    EXPECT_EQ(ReadSyncsafe("\x01\x02\x03\x04"), (1u << 21) | (2u << 14) | (3u << 7) | 4u);
    EXPECT_EQ(ReadSyncsafe("\x7F\x7F\x7F\x7F"), (1u << 28) - 1);
    EXPECT_EQ(ReadSyncsafe("\x80\x81\x80\x80"), 1u << 14);  // bit 7 of each byte is ignored
    EXPECT_EQ(WriteSyncsafe(102446), std::string("\x00\x06\x20\x2E", 4));
    EXPECT_EQ(WriteSyncsafe((1u << 21) + 1), std::string("\x01\x00\x00\x01", 4));
}

class LargeTag : public ::testing::Test {
  protected:
    test::TempDir dir;
    TID3v2Tag tag;
};

TEST_F(LargeTag, TextsBehindAPictureAreReadAndTheFileSaves) {
    const std::string audio = MpegAudio(6);
    const std::string texts = TextFrame("TIT2", "Cover") + LyricsFrame("[00:01]x");
    // The sizes of the whole tag and their 7-bit groups, written out by hand.
    const struct {
        std::size_t picture;
        std::string sizeValue;
    } cases[] = {
        {102400, std::string("\x00\x06\x20\x2E", 4)},   // 100 KiB: 102,446 bytes
        {3145728, std::string("\x01\x40\x00\x2E", 4)},  // 3 MiB: 3,145,774 bytes
    };
    for (const auto& c : cases) {
        const std::string picture = PictureFrame(c.picture);
        const std::string frames = picture + texts;
        const std::string file = std::string("ID3\x03\0\0", 6) + c.sizeValue + frames + audio;
        const std::string path = dir.write("cover.mp3", file);

        tag.ReadFromFile(path);
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(static_cast<std::size_t>(tag.TagSize), frames.size());
        EXPECT_EQ(tag.Title, "Cover");
        EXPECT_EQ(tag.Lyrics, "[00:01]x");

        tag.Artist = "Artist";
        const std::string ours =
            TextFrame("TIT2", "Cover") + TextFrame("TPE1", "Artist") + LyricsFrame("[00:01]x");
        const TagSaveResult kept = tag.SaveToFile(path, true);
        ASSERT_TRUE(kept.replaced) << kept.message;
        const std::string saved = dir.read("cover.mp3");
        EXPECT_EQ(saved.substr(0, 10),
                  std::string("ID3\x03\0\0", 6) +
                      WriteSyncsafe(static_cast<std::uint32_t>(ours.size() + picture.size())));
        EXPECT_TRUE(saved == StandardTag(ours + picture) + audio) << "the picture was not kept";

        tag.ReadFromFile(path);
        EXPECT_EQ(tag.Artist, "Artist");
        ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
        EXPECT_TRUE(dir.read("cover.mp3") == StandardTag(ours) + audio) << "the picture stayed";
    }
}

bool Have(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

TEST_F(LargeTag, APictureAddedByMutagenSurvivesOurSave) {
    if (!Have("ffmpeg") || !Have("mid3v2")) GTEST_SKIP() << "ffmpeg or mid3v2 is not installed";
    const std::string song = dir.file("song.mp3");
    const std::string cover = dir.write("cover.jpg", PictureFrame(102400).substr(24));
    test::RunOutput(
        "ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame "
        "-b:a 128k '" +
        song + "'");
    const std::string samples = test::RunOutput("ffmpeg -v error -i '" + song + "' -f s16le -");
    ASSERT_GT(samples.size(), 100000u);
    test::RunOutput("mid3v2 --picture='" + cover +
                    "':Cover:3:image/jpeg -t Title --TXXX "
                    "':[00:01]lyric' '" +
                    song + "'");

    tag.ReadFromFile(song);
    ASSERT_EQ(tag.Version, 4);
    EXPECT_GT(tag.TagSize, 102400);
    EXPECT_EQ(tag.Title, "Title");
    EXPECT_EQ(tag.Lyrics, "[00:01]lyric");
    tag.Title = Utf8ToGbk("新标题");
    const TagSaveResult result = tag.SaveToFile(song, true);
    ASSERT_TRUE(result.replaced) << result.message;

    const std::string listed = test::RunOutput("mid3v2 -l '" + song + "'");
    EXPECT_NE(listed.find("APIC=cover front, Cover (image/jpeg, 102386 bytes)"), std::string::npos)
        << listed;
    EXPECT_NE(listed.find("TIT2=新标题\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("TXXX==[00:01]lyric\n"), std::string::npos) << listed;
    EXPECT_EQ(test::RunOutput("ffmpeg -v error -i '" + song + "' -f s16le -"), samples);
    tag.ReadFromFile(song);
    EXPECT_EQ(tag.Title, Utf8ToGbk("新标题"));
    EXPECT_EQ(tag.Lyrics, "[00:01]lyric");
}

}  // namespace
}  // namespace pelvano::core
