// The lyrics of each item read on a worker: only the latest request reaches the display, a read
// that hangs leaves no lyrics, and each read has a tag reader of its own.
#include <gtest/gtest.h>

#include "FakeLyricsTag.h"
#include "core/lyrics/LyricsLoader.h"
#include "support/ManualWork.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using namespace std::chrono_literals;

class LyricsLoaderTest : public ::testing::Test {
  protected:
    LyricsLoaderTest() : paths(dir.path().string(), {}) {}

    std::unique_ptr<LyricsLoader> makeLoader(BackgroundWork& work) {
        return std::make_unique<LyricsLoader>(
            work, paths,
            [this] {
                ++readers;
                auto tag = std::make_unique<test::FakeLyricsTag>();
                tag->lyrics = tagLyrics;
                return tag;
            },
            state, [this] { ++loaded; });
    }

    test::TempDir dir;
    StoredPathResolver paths;
    std::map<std::string, std::string> tagLyrics;
    LyricsState state;
    int readers = 0;
    int loaded = 0;
};

TEST_F(LyricsLoaderTest, InlineReadsTakeTheTagOrTheLrcFileAsLoadLyricsDoes) {
    InlineWork work;
    auto loader = makeLoader(work);
    dir.write("A.lrc", "[00:01.00]from file\r\n");
    tagLyrics[dir.file("A.MP3")] = "[offset:300]\r\n[00:02.00]from tag";
    state.CurrentLyricRow = 5;
    loader->load("A.MP3", true, 1000ms);
    EXPECT_FALSE(loader->pending());
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(state.table.textOf(1), "from tag");
    EXPECT_EQ(state.offsetMs, 300);
    EXPECT_EQ(state.CurrentLyricRow, 1);
    EXPECT_EQ(state.rawLines.size(), 2u);

    loader->load("A.MP3", false, 1000ms);
    EXPECT_EQ(state.table.textOf(1), "from file");
    EXPECT_EQ(readers, 2);  // a fresh tag reader for every read

    // Nothing found: the table and the lines empty, the display position kept.
    state.CurrentLyricRow = 4;
    loader->load("B.wav", true, 1000ms);
    EXPECT_EQ(loaded, 3);
    EXPECT_EQ(state.table.textOf(1), "");
    EXPECT_TRUE(state.rawLines.empty());
    EXPECT_EQ(state.CurrentLyricRow, 4);
}

TEST_F(LyricsLoaderTest, OnlyTheLatestRequestIsApplied) {
    test::ManualWork work;
    auto loader = makeLoader(work);
    dir.write("A.lrc", "[00:01.00]first song");
    dir.write("B.lrc", "[00:01.00]second song");
    loader->load("A.wav", true, 2500ms);
    EXPECT_EQ(work.nextBound(), 2500ms);
    work.finishNext();
    ASSERT_EQ(state.table.textOf(1), "first song");

    // The next item empties the display at once, not when its read returns.
    loader->load("A.wav", true, 2500ms);
    loader->load("B.wav", true, 2500ms);
    EXPECT_TRUE(loader->pending());
    EXPECT_EQ(state.table.textOf(1), "");
    EXPECT_TRUE(state.rawLines.empty());
    work.finishNext();  // the superseded read of A
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(state.table.textOf(1), "");
    work.finishNext();
    EXPECT_EQ(loaded, 2);
    EXPECT_FALSE(loader->pending());
    EXPECT_EQ(state.table.textOf(1), "second song");

    // A clear (an empty path) supersedes a read still out and is told at once.
    loader->load("A.wav", true, 2500ms);
    loader->load("", true, 2500ms);
    EXPECT_EQ(loaded, 3);
    EXPECT_FALSE(loader->pending());
    work.finishAll();
    EXPECT_EQ(loaded, 3);
    EXPECT_EQ(state.table.textOf(1), "");
}

TEST_F(LyricsLoaderTest, ATimedOutReadLeavesNoLyrics) {
    test::ManualWork work;
    auto loader = makeLoader(work);
    dir.write("A.lrc", "[00:01.00]old");
    dir.write("H.lrc", "[00:01.00]behind a hung share");
    loader->load("A.wav", true, 1000ms);
    work.finishNext();
    state.CurrentLyricRow = 3;
    loader->load("H.wav", true, 1000ms);
    work.timeOutNext();
    EXPECT_EQ(loaded, 2);
    EXPECT_FALSE(loader->pending());
    EXPECT_EQ(state.table.textOf(1), "");
    EXPECT_TRUE(state.rawLines.empty());
    EXPECT_EQ(state.CurrentLyricRow, 3);
    // The abandoned read returns at last: nobody hears it.
    work.returnAbandoned();
    EXPECT_EQ(loaded, 2);
    EXPECT_EQ(state.table.textOf(1), "");
}

TEST_F(LyricsLoaderTest, AReadOutlivingItsLoaderTouchesNothing) {
    test::ManualWork work;
    auto loader = makeLoader(work);
    dir.write("A.lrc", "[00:01.00]late");
    loader->load("A.wav", true, 1000ms);
    loader.reset();
    work.finishAll();
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(state.table.textOf(1), "");
}

}  // namespace
}  // namespace pelvano::core
