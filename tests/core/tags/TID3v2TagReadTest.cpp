#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TagFile.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::Id3v1Block;
using test::Id3v2Frame;
using test::MpegAudio;
using test::OlderSystemTag;
using test::StandardTag;
using test::TextFrame;

class TID3v2TagRead : public ::testing::Test {
  protected:
    TID3v2Tag& read(std::string_view bytes) {
        tag.ReadFromFile(dir.write("song.mp3", bytes));
        return tag;
    }
    test::TempDir dir;
    TID3v2Tag tag;
};

TEST_F(TID3v2TagRead, FileOfTheOlderSystem) {
    const std::string lyrics = "[00:01.00]" + std::string(1200, 'a') + "[00:09.00]end";
    const std::string frames =
        TextFrame("COMM", std::string("chi\0", 4) + "note") + TextFrame("TALB", Utf8ToGbk("专辑")) +
        TextFrame("TIT2", Utf8ToGbk("标题")) + TextFrame("TPE1", "Singer") +
        TextFrame("TYER", "2003") + TextFrame("TXXX", lyrics.substr(0, 1000)) +
        TextFrame("TXXX", lyrics.substr(1000));
    read(OlderSystemTag(frames) + MpegAudio(3));
    EXPECT_TRUE(tag.Exists);
    EXPECT_FALSE(tag.ExistsV1);
    EXPECT_EQ(tag.TagSize, static_cast<int>(10 + frames.size()));
    EXPECT_EQ(tag.Comment, "note");
    EXPECT_EQ(tag.Album, Utf8ToGbk("专辑"));
    EXPECT_EQ(tag.Title, Utf8ToGbk("标题"));
    EXPECT_EQ(tag.Artist, "Singer");
    EXPECT_EQ(tag.Year, "2003");
    EXPECT_EQ(tag.Lyrics, lyrics);
}

TEST_F(TID3v2TagRead, FallsBackToId3v1AndClearsEverything) {
    read(StandardTag(TextFrame("TIT2", "Old") + TextFrame("TXXX", "words")) + MpegAudio(1));
    ASSERT_EQ(tag.Title, "Old");
    read(MpegAudio(2) + Id3v1Block("V1 title", "V1 artist", "Alb", "1988", "c"));
    EXPECT_FALSE(tag.Exists);
    EXPECT_TRUE(tag.ExistsV1);
    EXPECT_EQ(tag.TagSize, 128);
    EXPECT_EQ(tag.Title, "V1 title");
    EXPECT_EQ(tag.Artist, "V1 artist");
    EXPECT_EQ(tag.Album, "Alb");
    EXPECT_EQ(tag.Year, "1988");
    EXPECT_EQ(tag.Comment, "c");
    EXPECT_EQ(tag.Lyrics, "");
    read(MpegAudio(2));
    EXPECT_FALSE(tag.Exists || tag.ExistsV1);
    EXPECT_EQ(tag.TagSize, 0);
    EXPECT_EQ(tag.Title, "");
    EXPECT_THROW(tag.ReadFromFile(dir.file("missing.mp3")), TagFileError);
}

TEST_F(TID3v2TagRead, Version4FrameSizesAreSyncsafe) {
    const std::string title(300, 'T');
    read(StandardTag(TextFrame("TIT2", title, 4) + TextFrame("TPE1", "after", 4), 4, 64) +
         MpegAudio(1));
    EXPECT_EQ(tag.Title, title);
    EXPECT_EQ(tag.Artist, "after");
    // A writer that stored the size plainly (a byte with its high bit set cannot be syncsafe).
    read(StandardTag(TextFrame("TIT2", std::string(199, 'p')) + TextFrame("TPE1", "x", 4), 4) +
         MpegAudio(1));
    EXPECT_EQ(tag.Title, std::string(199, 'p'));
    EXPECT_EQ(tag.Artist, "x");
    read(StandardTag(TextFrame("TIT2", std::string(299, 'q')) + TextFrame("TPE1", "y", 4), 4) +
         MpegAudio(1));
    EXPECT_EQ(tag.Title, std::string(299, 'q'));
    EXPECT_EQ(tag.Artist, "y");
}

TEST_F(TID3v2TagRead, TextEncodingsBecomeTheLocalCodePage) {
    const std::string zhong = Utf8ToGbk("中文");
    const std::string frames =
        Id3v2Frame("TIT2", std::string("\x01\xFF\xFE\x2D\x4E\x87\x65\x00\x00", 9)) +
        Id3v2Frame("TPE1", std::string("\x01\xFE\xFF\x4E\x2D\x65\x87", 7)) +
        Id3v2Frame("TALB", std::string("\x02\x4E\x2D\x65\x87", 5)) +
        Id3v2Frame("TYER",
                   "\x03"
                   "2024") +
        Id3v2Frame("TXXX", "\x03\xE4\xB8\xAD");
    read(StandardTag(frames, 4) + MpegAudio(1));
    EXPECT_EQ(tag.Title, zhong);
    EXPECT_EQ(tag.Artist, zhong);
    EXPECT_EQ(tag.Album, zhong);
    EXPECT_EQ(tag.Year, "2024");
    EXPECT_EQ(tag.Lyrics, Utf8ToGbk("中"));
}

TEST_F(TID3v2TagRead, CommentSkipsLanguageAndDescriptionAndOnlyTheFirstCounts) {
    read(StandardTag(Id3v2Frame("COMM", std::string("\0engdesc\0first", 14)) +
                     TextFrame("COMM", std::string("chi\0second", 10))) +
         MpegAudio(1));
    EXPECT_EQ(tag.Comment, "first");
    read(StandardTag(Id3v2Frame("COMM", std::string("\x01"
                                                    "eng\xFF\xFE"
                                                    "d\0\0\0\xFF\xFE"
                                                    "o\0k\0",
                                                    16))) +
         MpegAudio(1));
    EXPECT_EQ(tag.Comment, "ok");
}

TEST_F(TID3v2TagRead, NamedUserTextsOfOtherProgramsAreNotLyrics) {
    read(StandardTag(TextFrame("TXXX", "[00:01]la") +
                     TextFrame("TXXX", std::string("replaygain_track_gain\0-3 dB", 27)) +
                     TextFrame("TXXX", std::string("\0[00:02]li", 10))) +
         MpegAudio(1));
    EXPECT_EQ(tag.Lyrics, "[00:01]la[00:02]li");
}

TEST_F(TID3v2TagRead, DamagedTagsKeepTheTextsBeforeTheDamage) {
    const std::string good = TextFrame("TIT2", "kept");
    std::string huge = TextFrame("TPE1", "lost");
    huge.replace(4, 4, "\xFF\xFF\xFF\xFF");
    read(StandardTag(good + huge) + MpegAudio(1));
    EXPECT_EQ(tag.Title, "kept");
    EXPECT_EQ(tag.Artist, "");

    // Padding, then something frame-like: the walk ends at the padding.
    read(StandardTag(good + std::string(10, '\0') + TextFrame("TPE1", "ghost")) + MpegAudio(1));
    EXPECT_EQ(tag.Artist, "");

    // A tag size far past the end of a truncated file.
    std::string truncated = StandardTag(good + TextFrame("TPE1", "half"), 3, 100000);
    truncated.resize(10 + good.size() + 12);
    read(truncated);
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.Title, "kept");
    EXPECT_EQ(tag.Artist, "");

    read("ID3\x03");
    EXPECT_FALSE(tag.Exists);
}

TEST_F(TID3v2TagRead, ExtendedHeaderUnsynchronisationAndVersion2) {
    const std::string ext = std::string("\0\0\0\x06", 4) + std::string(6, '\0');
    std::string v3 = StandardTag(ext + TextFrame("TIT2", "ext"));
    v3[5] = 0x40;
    read(v3 + MpegAudio(1));
    EXPECT_EQ(tag.Title, "ext");

    // Unsynchronised tag: every 0xFF is followed by an inserted zero.
    std::string frame = Id3v2Frame("TIT2", std::string("\x01\xFF\xFE\x41\x00", 5));
    frame.insert(12, 1, '\0');
    std::string unsync = StandardTag(frame);
    unsync[5] = static_cast<char>(0x80);
    read(unsync + MpegAudio(1));
    EXPECT_EQ(tag.Title, "A");

    const std::string v2frames =
        std::string("TT2\0\0\x04\0abc", 10) + std::string("TP1\0\0\x02\0z", 8);
    read(StandardTag(v2frames, 2) + MpegAudio(1));
    EXPECT_EQ(tag.Version, 2);
    EXPECT_EQ(tag.Title, "abc");
    EXPECT_EQ(tag.Artist, "z");
}

}  // namespace
}  // namespace pelvano::core
