#include <gtest/gtest.h>

#include "core/tags/FileTagTextReader.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

TEST(FileTagTextReader, Id3ThenWmaThenNothing) {
    test::TempDir dir;
    FileTagTextReader reader;
    const auto id3 = reader.readTitleArtist(dir.write(
        "a.mp3", test::StandardTag(test::TextFrame("TIT2", "T2") + test::TextFrame("TPE1", "A2")) +
                     test::MpegAudio(1)));
    ASSERT_TRUE(id3);
    EXPECT_EQ(id3->title, "T2");
    EXPECT_EQ(id3->artist, "A2");

    const auto v1 =
        reader.readTitleArtist(dir.write("b.mp3", test::MpegAudio(1) + test::Id3v1Block("", "A1")));
    ASSERT_TRUE(v1);
    EXPECT_EQ(v1->title, "");
    EXPECT_EQ(v1->artist, "A1");

    const auto wma = reader.readTitleArtist(
        dir.write("c.wma", test::AsfHeader({test::ContentDescription(
                               {test::Utf16z(u"WT"), test::Utf16z(u"WA"), "", "", ""})})));
    ASSERT_TRUE(wma);
    EXPECT_EQ(wma->title, "WT");
    EXPECT_EQ(wma->artist, "WA");

    EXPECT_FALSE(reader.readTitleArtist(dir.write("d.mp3", test::MpegAudio(2))));
    EXPECT_FALSE(reader.readTitleArtist(dir.file("missing.mp3")));
    EXPECT_FALSE(reader.readTitleArtist(dir.path().string()));
}

}  // namespace
}  // namespace pelvano::core
