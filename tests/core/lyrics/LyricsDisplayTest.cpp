// The current line against the play position, the nine lines drawn, and the line-change
// animation on virtual 50 ms ticks.
#include <gtest/gtest.h>

#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsDisplay.h"
#include "core/lyrics/LyricsTiming.h"
#include "platform/virtual/Simulation.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

LyricsState StateWith(std::vector<std::string> lines) {
    LyricsState state;
    state.offsetMs = LyricOffsetMs(lines);
    ExpandTimeTags(lines);
    ParseLyricLines(lines, state.table);
    return state;
}

TEST(LyricsTiming, AdvanceMovesOnWhenTheNextLineIsDue) {
    LyricsState s = StateWith({"[00:00.00]one", "[00:12.00]two", "[00:12.50]three"});
    EXPECT_EQ(AdvanceRow(s, 0), 0);
    EXPECT_EQ(AdvanceRow(s, 11999), 0);
    EXPECT_EQ(AdvanceRow(s, 12000), 2);
    s.CurrentLyricRow = 2;
    EXPECT_EQ(AdvanceRow(s, 12499), 0);  // hundredths count
    EXPECT_EQ(AdvanceRow(s, 60000), 3);  // one row per call
    s.CurrentLyricRow = 3;
    EXPECT_EQ(AdvanceRow(s, 60000), 0);
}

TEST(LyricsTiming, SeekTakesTheLastLineWhoseTimeHasPassed) {
    const LyricsState s = StateWith({"[00:10.00]a", "[00:20.00]b", "[00:40.00]c", "[00:50.00]d"});
    EXPECT_EQ(SeekRow(s, 30000), 2);
    EXPECT_EQ(SeekRow(s, 40000), 3);
    EXPECT_EQ(SeekRow(s, 5000), 1);
    EXPECT_EQ(SeekRow(s, 99000), 4);
    EXPECT_EQ(SeekRow(StateWith({}), 5000), 1);
}

TEST(LyricsTiming, APositiveOffsetShowsLinesSooner) {
    LyricsState s = StateWith({"[offset:500]", "[00:00.00]a", "[00:10.00]b"});
    EXPECT_EQ(s.table.timeOf(2), "00:10.00");
    EXPECT_EQ(AdvanceRow(s, 9499), 0);
    EXPECT_EQ(AdvanceRow(s, 9500), 2);
    EXPECT_EQ(SeekRow(s, 9500), 2);
}

TEST(LyricsFrame, NineLinesFromTheStartRow) {
    LyricsSettings settings("unused.ini");
    const LyricsState s = StateWith({"[00:01.00]a", "[00:02.00]b"});
    const LyricsFrame f = BuildLyricsFrame(s.table, 1, settings, 20, 300);
    EXPECT_EQ(f.lineHeight, 22);
    EXPECT_EQ(f.height, 9 * 22);
    EXPECT_EQ(f.alignment, LyricsAlignment::Centred);
    EXPECT_TRUE(f.lines[0].current);
    EXPECT_EQ(f.lines[0].color, clRed);
    EXPECT_EQ(f.lines[1].color, clWhite);
    EXPECT_EQ(f.lines[1].text, "b");
    EXPECT_EQ(f.lines[1].top, 22);
    EXPECT_EQ(f.lines[1].bottom, 41);
    EXPECT_TRUE(f.lines[1].underline);
    EXPECT_EQ(f.lines[2].text, " ");
    EXPECT_FALSE(f.lines[2].underline);
    EXPECT_EQ(BuildLyricsFrame(s.table, 0, settings, 20, 300).lines[0].text,
              " ");  // never the header
}

TEST(LyricsFrame, AlignmentAndUnderlineFollowTheSettings) {
    test::TempDir dir;
    LyricsSettings settings(dir.file("s.ini"));
    settings.setChkMusicTextCenter(2);
    settings.setPlMusicFrameColor(clBlack);
    const LyricsState s = StateWith({"[00:01.00]a"});
    EXPECT_EQ(BuildLyricsFrame(s.table, 1, settings, 10, 100).alignment, LyricsAlignment::Right);
    EXPECT_FALSE(BuildLyricsFrame(s.table, 1, settings, 10, 100).lines[0].underline);
    settings.setChkMusicTextCenter(7);
    EXPECT_EQ(BuildLyricsFrame(s.table, 1, settings, 10, 100).alignment, LyricsAlignment::Right);
    settings.setChkMusicTextCenter(0);
    EXPECT_EQ(BuildLyricsFrame(s.table, 1, settings, 10, 100).alignment, LyricsAlignment::Left);
}

class RecordingView final : public LyricsView {
  public:
    int glyphHeight() const override { return 18; }
    int windowWidth() const override { return 300; }
    void showFrame(const LyricsFrame& frame) override { frames.push_back(frame); }
    void scrollUp(int pixels) override { scrolled += pixels; }
    bool isShown() const override { return shown; }
    void show() override { shown = true; }

    std::vector<LyricsFrame> frames;
    int scrolled = 0;
    bool shown = false;
};

class LyricsDisplayTest : public ::testing::Test {
  protected:
    LyricsDisplayTest()
        : sim(LocalDateTime{2026, 12, 7, 8, 0, 0, 0}),
          settings(dir.file("s.ini")),
          state(StateWith({"[00:00.00]one", "[00:12.00]two", "[00:20.00]three", "[00:40.00]four"})),
          display(state, settings, view, sim.timers(), [this] { return editing; }) {
        settings.setChkPlaySongText(true);
    }

    test::TempDir dir;
    platform::Simulation sim;
    LyricsSettings settings;
    LyricsState state;
    RecordingView view;
    bool editing = false;
    LyricsDisplay display;
};

TEST_F(LyricsDisplayTest, ALineChangeScrollsOnePixelPerTickThenDraws) {
    display.ShowLyricLine(1);
    ASSERT_EQ(view.frames.size(), 1u);
    display.LyricAdvance(11999);
    EXPECT_FALSE(display.animating());
    display.LyricAdvance(12000);
    EXPECT_EQ(state.CurrentLyricRow, 2);
    EXPECT_TRUE(display.animating());
    sim.advanceBy(50 * 19);  // hj + 1 ticks scroll the old picture
    EXPECT_EQ(view.scrolled, 19);
    EXPECT_EQ(state.LyricScrollCount, 19);
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.frames.size(), 1u);
    sim.advanceBy(50);  // tick hj + 2 draws the new lines
    EXPECT_FALSE(display.animating());
    ASSERT_EQ(view.frames.size(), 2u);
    EXPECT_EQ(view.frames.back().lines[0].text, "two");
    EXPECT_EQ(state.LyricScrollCount, 0);
    EXPECT_EQ(state.table.currentRow(), 2);
    sim.advanceBy(500);
    EXPECT_EQ(view.scrolled, 19);
}

TEST_F(LyricsDisplayTest, EditModeLeavesTheGridRowAlone) {
    editing = true;
    state.table.setCurrentRow(4);
    display.LyricAdvance(12000);
    sim.advanceBy(50 * 20);
    EXPECT_EQ(view.frames.back().lines[0].text, "two");
    EXPECT_EQ(state.table.currentRow(), 4);
}

TEST_F(LyricsDisplayTest, ASeekDrawsAtOnceAndStopsALineChange) {
    display.LyricAdvance(12000);
    sim.advanceBy(100);
    display.LyricSeek(30000);
    EXPECT_FALSE(display.animating());
    EXPECT_EQ(state.CurrentLyricRow, 3);
    EXPECT_EQ(view.frames.back().lines[0].text, "three");
    EXPECT_EQ(state.LyricScrollCount, 0);
}

TEST_F(LyricsDisplayTest, NothingIsDrawnWhileTheDisplayIsOff) {
    settings.setChkPlaySongText(false);
    display.ShowLyricLine(1);
    display.LyricAdvance(12000);
    sim.advanceBy(2000);
    EXPECT_TRUE(view.frames.empty());
    EXPECT_EQ(view.scrolled, 0);
}

}  // namespace
}  // namespace pelvano::core
