// Which form each text takes in a written tag: the station setting for new and changed texts,
// the form it was read in for unchanged ones, and the lyrics frames' empty description.
#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/tags/Id3v2Text.h"
#include "core/tags/TID3v2Tag.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::Id3v1Block;
using test::Id3v2Frame;
using test::LyricsFrame;
using test::MpegAudio;
using test::StandardTag;
using test::TextFrame;

// Encoding 1 as this system writes it: byte-order mark and UTF-16LE.
std::string Utf16Frame(std::string_view id, std::string_view utf8) {
    return Id3v2Frame(id, "\x01\xFF\xFE" + GbkToUtf16Le(Utf8ToGbk(utf8)));
}

class TagTextEncodingTest : public ::testing::Test {
  protected:
    // Writes the file, reads it, lets change() set texts, saves, and returns the tag's frames.
    template <class Change>
    std::string saveFrames(std::string_view before, TagTextEncoding setting, Change change,
                           std::string_view after = {}) {
        const std::string path =
            dir.write("song.mp3", std::string(before) + audio + std::string(after));
        TID3v2Tag tag;
        tag.TextEncoding = setting;
        tag.ReadFromFile(path);
        change(tag);
        EXPECT_TRUE(tag.SaveToFile(path, false).replaced);
        const std::string saved = dir.read("song.mp3");
        EXPECT_EQ(saved.substr(saved.size() - audio.size()), audio);
        return saved.substr(10, saved.size() - audio.size() - 10);
    }
    const TID3v2Tag& readBack() {
        back.ReadFromFile(dir.file("song.mp3"));
        return back;
    }
    TID3v2Tag back;
    test::TempDir dir;
    const std::string audio = MpegAudio(3);
};

TEST_F(TagTextEncodingTest, UnicodeWritesAsciiAsBytesAndEverythingElseAsUtf16) {
    const std::string frames = saveFrames({}, TagTextEncoding::Unicode, [](TID3v2Tag& tag) {
        tag.Title = Utf8ToGbk("北京欢迎你");
        tag.Artist = Utf8ToGbk("Beyoncé");
        tag.Album = "Plain";
        tag.Comment = Utf8ToGbk("好");
        tag.Lyrics = Utf8ToGbk("[00:01]歌");
    });
    const std::string bomAndEmpty("\xFF\xFE\0\0", 4);
    EXPECT_EQ(frames, Id3v2Frame("COMM",
                                 "\x01"
                                 "chi" +
                                     bomAndEmpty + "\xFF\xFE" + GbkToUtf16Le(Utf8ToGbk("好"))) +
                          TextFrame("TALB", "Plain") + Utf16Frame("TIT2", "北京欢迎你") +
                          Utf16Frame("TPE1", "Beyoncé") +
                          Id3v2Frame("TXXX", "\x01" + bomAndEmpty + "\xFF\xFE" +
                                                 GbkToUtf16Le(Utf8ToGbk("[00:01]歌"))));
    const TID3v2Tag& tag = readBack();
    EXPECT_EQ(tag.Title, Utf8ToGbk("北京欢迎你"));
    EXPECT_EQ(tag.Artist, Utf8ToGbk("Beyoncé"));
    EXPECT_EQ(tag.Comment, Utf8ToGbk("好"));
    EXPECT_EQ(tag.Lyrics, Utf8ToGbk("[00:01]歌"));
}

TEST_F(TagTextEncodingTest, GbkWritesTheStoredBytesAsTheOlderSystemDid) {
    const std::string title = Utf8ToGbk("北京欢迎你");
    const std::string frames = saveFrames({}, TagTextEncoding::Gbk, [&](TID3v2Tag& tag) {
        tag.Title = title;
        tag.Lyrics = Utf8ToGbk("[00:01]歌");
    });
    EXPECT_EQ(frames, TextFrame("TIT2", title) + LyricsFrame(Utf8ToGbk("[00:01]歌")));
}

TEST_F(TagTextEncodingTest, UnchangedTextsKeepTheFormTheyWereReadIn) {
    // Another program's UTF-16 title and a local-bytes artist of the older system; only the
    // lyrics change. Neither setting downgrades the title or converts the artist.
    const std::string artist = Utf8ToGbk("林");
    const std::string before =
        StandardTag(Utf16Frame("TIT2", "北京欢迎你") + TextFrame("TPE1", artist) +
                    Id3v2Frame("TALB",
                               "\x03"
                               "Caf\xC3\xA9"));
    for (TagTextEncoding setting : {TagTextEncoding::Gbk, TagTextEncoding::Unicode}) {
        const std::string frames =
            saveFrames(before, setting, [](TID3v2Tag& tag) { tag.Lyrics = "[00:01]la"; });
        // Version 2.3 has no UTF-8: the album read as UTF-8 is written as UTF-16.
        EXPECT_EQ(frames, Utf16Frame("TALB", "Café") + Utf16Frame("TIT2", "北京欢迎你") +
                              TextFrame("TPE1", artist) + LyricsFrame("[00:01]la"));
    }
    // A changed text follows the setting.
    const std::string frames = saveFrames(before, TagTextEncoding::Gbk,
                                          [](TID3v2Tag& tag) { tag.Title = Utf8ToGbk("新"); });
    EXPECT_EQ(frames.substr(0, frames.find("TPE1")),
              Utf16Frame("TALB", "Café") + TextFrame("TIT2", Utf8ToGbk("新")));
}

TEST_F(TagTextEncodingTest, TextsOfAnId3v1TagFollowTheSetting) {
    const std::string frames = saveFrames(
        {}, TagTextEncoding::Unicode, [](TID3v2Tag&) {}, Id3v1Block(Utf8ToGbk("老歌")));
    EXPECT_EQ(frames, Utf16Frame("TIT2", "老歌"));
}

TEST_F(TagTextEncodingTest, LongUtf16LyricsSplitBetweenCharactersAndReadBackWhole) {
    std::string lyrics;
    for (int i = 0; i < 700; ++i) lyrics += Utf8ToGbk(i % 7 ? "歌" : "a");  // 1300 bytes
    lyrics += Utf8ToGbk("😀");                                               // four bytes in GB18030
    saveFrames({}, TagTextEncoding::Unicode, [&](TID3v2Tag& tag) { tag.Lyrics = lyrics; });
    EXPECT_EQ(readBack().Lyrics, lyrics);

    const auto pieces = SplitForFrames(lyrics, 1000, Id3v2TextForm::Utf16);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_LE(pieces[0].size(), 1000u);
    EXPECT_TRUE(IsValidGb18030(pieces[0]));
    EXPECT_TRUE(IsValidGb18030(pieces[1]));
    // Local texts are cut at exactly 1000 bytes, as before.
    EXPECT_EQ(SplitForFrames(lyrics, 1000, Id3v2TextForm::Local)[0].size(), 1000u);
}

TEST(FormForText, BytesWithoutAUtf16FormKeepTheirStoredBytes) {
    // A lone lead byte from a damaged tag would be lost in UTF-16.
    EXPECT_EQ(FormForText("\x1e\xdd"
                          "1",
                          TagTextEncoding::Unicode),
              Id3v2TextForm::Local);
    EXPECT_EQ(FormForText(Utf8ToGbk("北京欢迎你"), TagTextEncoding::Unicode), Id3v2TextForm::Utf16);
    EXPECT_EQ(FormForText("Title", TagTextEncoding::Unicode), Id3v2TextForm::Local);
}

TEST(ReadTagTextEncoding, GbkOnlyWhenTheSettingSaysSo) {
    test::TempDir dir;
    const std::string ini = dir.file("settings.ini");
    EXPECT_EQ(ReadTagTextEncoding(ini), TagTextEncoding::Unicode);
    IniWrite(ini, "Linux", "TagTextEncoding", "gbk");
    EXPECT_EQ(ReadTagTextEncoding(ini), TagTextEncoding::Gbk);
    IniWrite(ini, "Linux", "TagTextEncoding", "UNICODE");
    EXPECT_EQ(ReadTagTextEncoding(ini), TagTextEncoding::Unicode);
}

}  // namespace
}  // namespace pelvano::core
