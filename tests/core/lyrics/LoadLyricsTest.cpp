// Which lyrics an audio file gets: its ".lrc" file or its MP3 tag, by the preference setting.
#include <gtest/gtest.h>

#include "FakeLyricsTag.h"
#include "core/app/Encoding.h"
#include "core/lyrics/LoadLyrics.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

class LoadLyricsTest : public ::testing::Test {
  protected:
    LoadLyricsTest() : paths(dir.path().string(), {}) {}

    bool load(const std::string& stored, bool mp3First) {
        return LoadLyrics(stored, mp3First, LyricsSources{paths, tags}, state);
    }

    test::TempDir dir;
    StoredPathResolver paths;
    test::FakeLyricsTag tags;
    LyricsState state;
};

TEST_F(LoadLyricsTest, ExtensionHelpers) {
    EXPECT_EQ(WithExtension("D:\\MUSIC\\A.MP3", ".lrc"), "D:\\MUSIC\\A.lrc");
    EXPECT_EQ(WithExtension("/x.y/song", ".lrc"), "/x.y/song.lrc");
    EXPECT_TRUE(IsMp3Path("a/B.mP3"));
    EXPECT_FALSE(IsMp3Path("a.mp3/b.wav"));
}

TEST_F(LoadLyricsTest, Mp3FirstTakesTheTagAndFallsBackToTheLrcFile) {
    dir.write("A.lrc", "[00:01.00]from file\r\n");
    tags.lyrics[dir.file("A.MP3")] = "[00:02.00]from tag";
    ASSERT_TRUE(load("A.MP3", true));
    EXPECT_EQ(state.table.textOf(1), "from tag");

    // A tag without lyrics, or with blank ones: the ".lrc" file beside the song shows.
    for (const std::string none : {"", " \r\n "}) {
        tags.lyrics[dir.file("A.MP3")] = none;
        state.CurrentLyricRow = 7;
        ASSERT_TRUE(load("A.MP3", true));
        EXPECT_EQ(state.table.textOf(1), "from file");
        EXPECT_EQ(state.CurrentLyricRow, 1);
    }

    // Neither source holds lyrics: nothing was taken.
    dir.write("A.lrc", "\r\n");
    state.CurrentLyricRow = 7;
    EXPECT_FALSE(load("A.MP3", true));
    EXPECT_EQ(state.table.lastDataRow(), 1);
    EXPECT_EQ(state.table.textOf(1), "");
    EXPECT_EQ(state.CurrentLyricRow, 7);
}

TEST_F(LoadLyricsTest, LrcFilesAreReadInTheirEncoding) {
    dir.write("U.lrc", "[00:01.00]晚风\r\n");
    dir.write("G.lrc", Utf8ToGbk("[00:01.00]晚风\r\n"));
    dir.write("B.lrc", "\xEF\xBB\xBF[00:01.00]晚风\r\n");
    for (const char* song : {"U.mp3", "G.mp3", "B.wav"}) {
        ASSERT_TRUE(load(song, true)) << song;
        EXPECT_EQ(state.table.textOf(1), Utf8ToGbk("晚风")) << song;
    }
}

TEST_F(LoadLyricsTest, LrcFirstFallsBackToTheTag) {
    dir.write("A.lrc", "[00:01.00]from file");
    tags.lyrics[dir.file("A.MP3")] = "[00:02.00]from tag";
    ASSERT_TRUE(load("A.MP3", false));
    EXPECT_EQ(state.table.textOf(1), "from file");
    std::filesystem::remove(dir.file("A.lrc"));
    ASSERT_TRUE(load("A.MP3", false));
    EXPECT_EQ(state.table.textOf(1), "from tag");
}

TEST_F(LoadLyricsTest, OtherFilesUseOnlyTheLrcFileFoundWithoutLetterCase) {
    // A Windows path, upper-cased, against a file as it lies on Linux.
    std::filesystem::create_directories(dir.path() / "music");
    dir.write("music/song.LRC", "[ti:x]\n[00:03.00]third\r[00:01.00]first\n");
    ASSERT_TRUE(load("MUSIC\\SONG.WAV", true));
    EXPECT_EQ(state.table.textOf(1), "first");
    EXPECT_EQ(state.table.textOf(2), "third");
    EXPECT_EQ(state.rawLines.size(), 3u);
}

TEST_F(LoadLyricsTest, NothingFoundEmptiesTheTableAndTheLinesButKeepsThePosition) {
    dir.write("B.lrc", "[00:01.00]old");
    ASSERT_TRUE(load("B.wav", true));
    state.CurrentLyricRow = 4;
    state.LyricScrollCount = 3;
    EXPECT_FALSE(load("C.wav", true));
    EXPECT_EQ(state.table.rowCount(), 2);
    EXPECT_EQ(state.table.textOf(1), "");
    EXPECT_TRUE(state.rawLines.empty());  // the editor's text box shows them
    EXPECT_EQ(state.CurrentLyricRow, 4);
    EXPECT_EQ(state.LyricScrollCount, 3);
}

TEST_F(LoadLyricsTest, TagTextsSplitAtAnyLineEnd) {
    tags.lyrics[dir.file("T.mp3")] = "[offset:200]\r\n[00:01.00]a\r[00:02.00]b\n[00:03.00]c";
    ASSERT_TRUE(load("T.mp3", true));
    EXPECT_EQ(state.table.lastDataRow(), 3);
    EXPECT_EQ(state.offsetMs, 200);
}

}  // namespace
}  // namespace pelvano::core
