#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/tags/TID3v1Tag.h"
#include "core/tags/TagFile.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::Id3v1Block;
using test::MpegAudio;

TEST(TID3v1Tag, FieldsEndAtZeroAndLoseTrailingBlanks) {
    test::TempDir dir;
    const std::string title30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    const std::string gbk = Utf8ToGbk("中文歌手");
    const std::string path = dir.write(
        "a.mp3", MpegAudio(2) + Id3v1Block(title30, gbk + std::string("\0junk", 5),
                                           std::string(30, ' '), "1999", "note \t\x01\x1F "));
    TID3v1Tag tag;
    tag.ReadFromFile(path);
    ASSERT_TRUE(tag.Exists);
    EXPECT_EQ(tag.Title, title30);
    EXPECT_EQ(tag.Artist, gbk);
    EXPECT_EQ(tag.Album, "");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Comment, "note");
}

TEST(TID3v1Tag, FileWithoutTagAfterOneWithTag) {
    test::TempDir dir;
    TID3v1Tag tag;
    tag.ReadFromFile(dir.write("a.mp3", MpegAudio(1) + Id3v1Block("Old")));
    ASSERT_TRUE(tag.Exists);
    tag.ReadFromFile(dir.write("b.mp3", MpegAudio(1)));
    EXPECT_FALSE(tag.Exists);
    tag.ReadFromFile(dir.write("c.mp3", Id3v1Block("x").substr(0, 127)));
    EXPECT_FALSE(tag.Exists);
    EXPECT_THROW(tag.ReadFromFile(dir.file("missing.mp3")), TagFileError);
}

TEST(TID3v1Tag, RemoveFromFileOnlyCutsAnExactMarker) {
    test::TempDir dir;
    const std::string audio = MpegAudio(1);
    TID3v1Tag::RemoveFromFile(dir.write("a.mp3", audio + Id3v1Block("T")));
    EXPECT_EQ(dir.read("a.mp3"), audio);

    std::string lower = Id3v1Block("T");
    lower.replace(0, 3, "tag");
    TID3v1Tag::RemoveFromFile(dir.write("b.mp3", audio + lower));
    EXPECT_EQ(dir.read("b.mp3"), audio + lower);

    TID3v1Tag::RemoveFromFile(dir.write("c.mp3", "TAG short"));
    EXPECT_EQ(dir.read("c.mp3"), "TAG short");
    EXPECT_THROW(TID3v1Tag::RemoveFromFile(dir.file("missing.mp3")), TagFileError);
}

}  // namespace
}  // namespace pelvano::core
