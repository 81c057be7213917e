// LRC text: line splitting, several tags on a line, parsing into the table, the offset tag, and
// input that is damaged, huge or not text at all.
#include <gtest/gtest.h>

#include <random>

#include "core/lyrics/LrcText.h"

namespace pelvano::core {
namespace {

LyricsTable Parsed(std::vector<std::string> lines) {
    ExpandTimeTags(lines);
    LyricsTable table;
    ParseLyricLines(lines, table);
    return table;
}

TEST(LrcText, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLyricLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLyricLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLyricLines("\n\r"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitLyricLines("").empty());
}

TEST(LrcText, TimedLinesBecomeRowsAndTheRestIsSkipped) {
    const LyricsTable t = Parsed({"[ar:Someone]", "[ti:Song]", "[00:12.30]hello", "[00:12.30]",
                                  "no tag at all", "[00:20.00]  world  ]tail", "[00:25.00]   "});
    ASSERT_EQ(t.lastDataRow(), 2);
    EXPECT_EQ(t.timeOf(1), "00:12.30");
    EXPECT_EQ(t.textOf(1), "hello");
    EXPECT_EQ(t.timeOf(2), "00:20.00");
    EXPECT_EQ(t.textOf(2), "world");
    EXPECT_EQ(t.cell(0, 0), LyricsTimeHeader());
    EXPECT_EQ(t.cell(1, 0), LyricsTextHeader());
}

TEST(LrcText, ATrailingLineWithoutTextLeavesNoEmptyRow) {
    // An empty last row would be "due" at 0 and take the place of the last line at once.
    const LyricsTable t = Parsed({"[00:01.00]a", "[00:02.00]b", "", "[length:03:00]"});
    EXPECT_EQ(t.lastDataRow(), 2);
    const LyricsTable empty = Parsed({"[ti:x]", ""});
    EXPECT_EQ(empty.rowCount(), 2);
    EXPECT_EQ(empty.timeOf(1), "");
}

TEST(LrcText, EveryTagOfALineShowsItsText) {
    const LyricsTable t = Parsed({"[00:01.00][00:05.00]chorus", "[00:03.00]verse"});
    ASSERT_EQ(t.lastDataRow(), 3);
    EXPECT_EQ(t.timeOf(1), "00:01.00");
    EXPECT_EQ(t.textOf(1), "chorus");
    EXPECT_EQ(t.timeOf(2), "00:03.00");
    EXPECT_EQ(t.textOf(2), "verse");
    EXPECT_EQ(t.timeOf(3), "00:05.00");
    EXPECT_EQ(t.textOf(3), "chorus");
}

TEST(LrcText, TextsAreNotSharedAcrossInformationTagsOrOwnTexts) {
    std::vector<std::string> lines{"lead[00:01.00]a[00:02.00]b", "[00:03.00][ar:x]c",
                                   "[ti:t][00:04.00]d"};
    ExpandTimeTags(lines);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"[00:01.00]a", "[00:02.00]b", "[ar:x]c", "[00:04.00]d"}));
}

TEST(LrcText, RowsFollowTheTimesAndUntimedLinesTheirPredecessor) {
    const LyricsTable t =
        Parsed({"[ar:who]credit", "[00:09.00]late", "[]untimed", "[00:02.00]x", "[00:02.00]y"});
    std::vector<std::string> texts;
    for (int r = 1; r <= t.lastDataRow(); ++r) texts.push_back(t.textOf(r));
    EXPECT_EQ(texts, (std::vector<std::string>{"credit", "x", "y", "late", "untimed"}));
}

TEST(LrcText, OffsetTag) {
    EXPECT_EQ(LyricOffsetMs({"[ti:a]", " [Offset: +500] ", "[offset:-7]"}), 500);
    EXPECT_EQ(LyricOffsetMs({"[offset:-250]"}), -250);
    EXPECT_EQ(LyricOffsetMs({"[offset:abc]", "[00:01.00]x"}), 0);
    EXPECT_EQ(LyricOffsetMs({"[offset:99999999999]"}), 0);
}

TEST(LrcText, WholeSecondTimes) {
    EXPECT_EQ(WholeSecondsOf("01:05.37"), 65);
    EXPECT_EQ(WholeSecondsOf(" 2 : 7 .9"), 127);
    EXPECT_EQ(WholeSecondsOf("::"), 0);
    EXPECT_EQ(FormatWholeSeconds(75), "01:15.00");
    EXPECT_EQ(FormatWholeSeconds(6000), "100:00.00");
    EXPECT_EQ(FormatWholeSeconds(-3), "00:00.00");
}

TEST(LrcText, DamagedTimesAndBytesStillGiveRows) {
    const std::string invalidGbk = "\x81\x20\xFF\xFE";
    const LyricsTable t =
        Parsed({"[99:99.999]a", "[-1:00]b", "[::]c", "[00:01.00" + invalidGbk + "]" + invalidGbk,
                std::string("[\0\x01]\x02z", 6), "[[[[", "]]]]x", "[00:02.00"});
    EXPECT_EQ(t.lastDataRow(), 5);
    for (int r = 1; r <= t.lastDataRow(); ++r) EXPECT_FALSE(t.textOf(r).empty()) << r;
}

TEST(LrcText, HugeInputStaysLinear) {
    // A 10 MB file of lines, one line of 1 MB of tags and one of brackets that never close:
    // quadratic work here would not finish within the test's time.
    std::string file;
    for (int i = 0; file.size() < 10'000'000; ++i)
        file += "[" + std::to_string(i / 6000) + ":" + std::to_string(i % 60) + ".00]line " +
                std::to_string(i) + "\r\n";
    std::string tags;
    while (tags.size() < 1'000'000) tags += "[00:01.00]";
    file += tags + std::string(1'000'000, 'x') + "\n";
    file += std::string(1'000'000, '[') + "\n" + std::string(1'000'000, ']') + "\n";
    std::vector<std::string> lines = SplitLyricLines(file);
    ExpandTimeTags(lines);
    LyricsTable table;
    ParseLyricLines(lines, table);
    EXPECT_GT(table.lastDataRow(), 300'000);
}

TEST(LrcText, RandomBytesNeverBreakTheParser) {
    std::mt19937 random(7);
    const std::string alphabet = "[]:.0123456789 \r\nab\x81\xFE";
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        std::vector<std::string> lines = SplitLyricLines(text);
        ExpandTimeTags(lines);
        LyricsTable table;
        ParseLyricLines(lines, table);
        ASSERT_GE(table.rowCount(), 2);
    }
}

}  // namespace
}  // namespace pelvano::core
