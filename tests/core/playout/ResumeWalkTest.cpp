#include <gtest/gtest.h>

#include <map>

#include "core/app/TextHelpers.h"
#include "core/playout/ResumeWalk.h"

namespace pelvano::core {
namespace {

constexpr std::int64_t kHour = 3'600'000;

// rows: cross-fade seconds of rows 1..n; timed: "row@second" pairs.
WalkSchedule scheduleOf(std::vector<int> cross, RowLoops loops = {}) {
    WalkSchedule s;
    s.rows.resize(cross.size() + 1);
    for (std::size_t i = 0; i < cross.size(); ++i) s.rows[i + 1].crossSeconds = cross[i];
    s.loops = loops;
    return s;
}

RowLength lengths(std::map<int, std::int64_t> known) {
    return [known](int row) -> std::optional<std::int64_t> {
        const auto it = known.find(row);
        if (it == known.end()) return std::nullopt;
        return it->second;
    };
}

TEST(ResumeWalk, FollowsTheHandOversAtEachRowsCrossFade) {
    const WalkSchedule s = scheduleOf({2, 3, 0});
    const RowLength len = lengths({{1, 10'000}, {2, 20'000}, {3, 60'000}});
    // Inside the stored item: the time since it began.
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour + 4'321, len), (ResumePoint{1, 4'321}));
    // Row 1 hands over 2 s before its end (8 s), row 2 3 s before its end (8 + 17 = 25 s).
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour + 8'000, len), (ResumePoint{2, 0}));
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour + 24'999, len), (ResumePoint{2, 16'999}));
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour + 30'000, len), (ResumePoint{3, 5'000}));
    // The last row ended and nothing loops: nothing is on air, the walk cannot place a start.
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour + 85'000, len), std::nullopt);
    // The instants out of order.
    EXPECT_EQ(WalkToNow(s, 1, kHour, kHour - 1, len), std::nullopt);
    EXPECT_EQ(WalkToNow(s, 4, kHour, kHour, len), std::nullopt);
}

TEST(ResumeWalk, LoopsTheTableAndTheSectionBeforeATimedRow) {
    const RowLength len = lengths({{1, 10'000}, {2, 10'000}, {3, 10'000}});
    WalkSchedule table = scheduleOf({0, 0, 0}, {false, true});
    // 35 s: rows 1, 2, 3, then row 1 again for 5 s.
    EXPECT_EQ(WalkToNow(table, 1, 0, 35'000, len), (ResumePoint{1, 5'000}));
    // Many laps later, still on the beat of the 30 s lap.
    EXPECT_EQ(WalkToNow(table, 2, kHour, 2 * kHour + 12'000, len), (ResumePoint{3, 2'000}));

    // Row 3 has a start time: the section of rows 1-2 loops before it, when that loop is on.
    WalkSchedule section = scheduleOf({0, 0, 0}, {true, false});
    section.rows[3].hasStartTime = true;
    EXPECT_EQ(WalkToNow(section, 1, 0, 25'000, len), (ResumePoint{1, 5'000}));
    section.loops.section = false;
    EXPECT_EQ(WalkToNow(section, 1, 0, 25'000, len), std::nullopt);
}

TEST(ResumeWalk, ATimedRowTakesOverAtItsSecond) {
    const RowLength len = lengths({{1, 600'000}, {2, 600'000}, {3, 120'000}});
    WalkSchedule s = scheduleOf({0, 0, 0});
    s.rows[3].hasStartTime = true;
    s.timed = {{3, 8 * 3600}};
    const std::int64_t eight = 8 * kHour;
    // Row 1 began at 07:55; the timed row cut it short at 08:00.
    EXPECT_EQ(WalkToNow(s, 1, eight - 300'000, eight + 30'000, len), (ResumePoint{3, 30'000}));
    // The section ended before the timed second: the timed row plays from its second on.
    EXPECT_EQ(WalkToNow(s, 2, eight - 700'000, eight + 1'000, len), (ResumePoint{3, 1'000}));
    // The stored item is the timed row itself, started at its second: it is not restarted.
    EXPECT_EQ(WalkToNow(s, 3, eight, eight + 50'000, len), (ResumePoint{3, 50'000}));
    // Before the timed second, its row does not count.
    EXPECT_EQ(WalkToNow(s, 1, eight - 300'000, eight - 1, len), (ResumePoint{1, 299'999}));
}

TEST(ResumeWalk, AnUnknownLengthOnTheWayEndsTheWalk) {
    const WalkSchedule s = scheduleOf({0, 0, 0});
    const RowLength gap = lengths({{1, 10'000}, {3, 10'000}});
    EXPECT_EQ(WalkToNow(s, 1, 0, 5'000, gap), (ResumePoint{1, 5'000}));
    EXPECT_EQ(WalkToNow(s, 1, 0, 15'000, gap), std::nullopt);
    // An empty item, or a cross-fade longer than the item, still takes a tick per row.
    const RowLength shortItems = lengths({{1, 500}, {2, 500}, {3, 0}});
    EXPECT_EQ(WalkToNow(scheduleOf({5, 5, 0}), 1, 0, 150, shortItems), (ResumePoint{2, 50}));
    EXPECT_EQ(WalkToNow(scheduleOf({5, 5, 0}), 1, 0, 250, shortItems), std::nullopt);
}

TEST(ResumeWalk, TheStartInstantsTextRoundTripsAndRejectsAnythingElse) {
    EXPECT_EQ(FormatTimeOfDayMs(0), "00:00:00.000");
    EXPECT_EQ(FormatTimeOfDayMs(86'399'999), "23:59:59.999");
    EXPECT_EQ(FormatTimeOfDayMs(-5), "00:00:00.000");
    for (const std::int64_t ms : {0LL, 1LL, 45'296'789LL, 86'399'999LL})
        EXPECT_EQ(ParseTimeOfDayMs(FormatTimeOfDayMs(ms)), ms);
    for (const char* bad : {"", "12:34:56", "12:34:56.78", "24:00:00.000", "12:60:00.000",
                            "1a:00:00.000", "12-34-56.789", "12:34:56.7890"})
        EXPECT_EQ(ParseTimeOfDayMs(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace pelvano::core
