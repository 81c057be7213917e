#include <gtest/gtest.h>

#include <vector>

#include "core/playout/UiStallWatch.h"
#include "platform/virtual/VirtualClock.h"
#include "platform/virtual/VirtualTimers.h"

namespace pelvano::test {
namespace {

class UiStallWatchTest : public ::testing::Test {
  protected:
    // The loop turns every 10 ms until `ms`, except that nothing turns it during a stall.
    void turnUntil(std::uint64_t ms) {
        while (clock.tickMs() < ms) {
            clock.advanceTo(clock.tickMs() + 10);
            timers.fireDue(clock.tickMs());
        }
    }
    void stall(std::uint64_t ms) { clock.advanceTo(clock.tickMs() + ms); }

    platform::VirtualClock clock{core::LocalDateTime{2026, 12, 7, 23, 59, 0}};
    platform::VirtualTimers timers{clock};
    std::vector<std::int64_t> reports;
    core::UiStallWatch watch{clock, timers, [this](std::int64_t ms) { reports.push_back(ms); }};
};

TEST_F(UiStallWatchTest, TheLongestStallOfEachDayIsReportedOnceWhenAbove100Ms) {
    watch.start();
    turnUntil(1000);
    EXPECT_EQ(watch.longestMs(), 0) << "a loop that turns on time stalls for nothing";
    stall(80);
    turnUntil(2000);
    stall(300);
    turnUntil(3000);
    stall(150);
    turnUntil(4000);
    // The 300 ms without a turn ended at the turn of 2310 ms: the timer due at 2050 came 260 ms
    // late (a stall shows as the lateness of the timer, up to an interval less than it lasted).
    EXPECT_EQ(watch.longestTodayMs(), 260);
    EXPECT_TRUE(reports.empty()) << "nothing is logged before the day is over";
    turnUntil(61'000);  // midnight
    EXPECT_EQ(reports, std::vector<std::int64_t>{260});
    EXPECT_EQ(watch.longestTodayMs(), 0);
    stall(90);
    turnUntil(62'000);
    watch.stop();
    EXPECT_EQ(reports.size(), 1u) << "a day under 100 ms is not logged";
    EXPECT_EQ(watch.longestMs(), 260);
}

TEST_F(UiStallWatchTest, StoppingReportsTheDaySoFar) {
    watch.start();
    turnUntil(500);
    stall(250);
    turnUntil(1000);
    watch.stop();
    watch.stop();
    EXPECT_EQ(reports, std::vector<std::int64_t>{210});
}

}  // namespace
}  // namespace pelvano::test
