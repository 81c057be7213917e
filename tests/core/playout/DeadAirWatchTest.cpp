// The dead-air watch's rules, one look per 100 ms as the scheduler ticks.
#include <gtest/gtest.h>

#include "core/app/IniFile.h"
#include "core/playout/DeadAirWatch.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

constexpr float kSilent = 0.001f;  // −60 dBFS
constexpr float kSound = 0.5f;

class DeadAirWatchTest : public ::testing::Test {
  protected:
    // Looks every 100 ms for ms; true when any look found dead air.
    bool look(std::int64_t ms, float peak, bool meantOnAir = true, bool coming = false) {
        bool found = false;
        for (std::int64_t end = now + ms; now < end;) {
            now += 100;
            found |= watch.observe(now, peak, meantOnAir, [&](int) { return coming; });
        }
        return found;
    }

    core::DeadAirWatch watch;
    std::int64_t now = 0;
};

TEST_F(DeadAirWatchTest, SilenceLongerThanTheWindowIsDeadAirOncePerEpisode) {
    EXPECT_FALSE(look(5000, kSound));
    EXPECT_FALSE(look(10000, kSilent));  // exactly the window: not yet
    EXPECT_TRUE(look(100, kSilent));
    EXPECT_EQ(watch.silentSeconds(), 10);
    EXPECT_FALSE(look(20000, kSilent));  // said once, however long it lasts
    EXPECT_EQ(watch.count(), 1);
    EXPECT_NEAR(watch.totalSeconds(), 30.1, 0.01);  // the episode going on counts
    EXPECT_FALSE(look(1000, kSound));
    EXPECT_NEAR(watch.totalSeconds(), 30.2, 0.01);  // until the look that heard sound
    EXPECT_TRUE(look(10100, kSilent));  // a new episode
    EXPECT_EQ(watch.count(), 2);
    // A silence that sound interrupts in time is no dead air and counts nothing.
    look(100, kSound);
    look(9000, kSilent);
    look(100, kSound);
    EXPECT_FALSE(look(9000, kSilent));
    EXPECT_EQ(watch.count(), 2);
}

TEST_F(DeadAirWatchTest, PauseStopOrHoldIsNoDeadAirAndRestartsTheWindow) {
    EXPECT_FALSE(look(60000, kSilent, false));
    EXPECT_EQ(watch.count(), 0);
    EXPECT_FALSE(look(9000, kSilent, true));
    EXPECT_FALSE(look(100, kSilent, false));  // the operator paused for a moment
    EXPECT_FALSE(look(9000, kSilent, true));  // the window starts again from the resume
    EXPECT_TRUE(look(2000, kSilent, true));
    // Paused while in dead air: the episode ends with the pause.
    const double total = watch.totalSeconds();
    look(5000, kSilent, false);
    EXPECT_NEAR(watch.totalSeconds(), total, 0.11);
}

TEST_F(DeadAirWatchTest, ATimedRowOrTimeSignalComingWithinTheWindowIsWaitedFor) {
    int askedFor = -1;
    bool coming = true;
    for (int i = 0; i < 150; ++i) {
        now += 100;
        EXPECT_FALSE(watch.observe(now, kSilent, true, [&](int seconds) {
            askedFor = seconds;
            return coming;
        }));
    }
    EXPECT_EQ(askedFor, 10);  // asked about the next silence window
    coming = false;           // it did not come (its file failed): now it is dead air
    EXPECT_TRUE(watch.observe(now + 100, kSilent, true, [&](int) { return coming; }));
    EXPECT_EQ(watch.silentSeconds(), 15);
}

TEST_F(DeadAirWatchTest, TheLevelAndTheWindowComeFromTheSettings) {
    TempDir dir;
    const std::string ini = dir.file("参数设置.INI");
    core::DeadAirSettings defaults = core::DeadAirSettings::read(ini);
    EXPECT_EQ(defaults.silenceLevelDb, -50.0);
    EXPECT_EQ(defaults.silenceSeconds, 10);
    EXPECT_EQ(defaults.fallbackFolder, "");
    core::IniWriteMany(ini, "Linux",
                       {{"SilenceLevel", "-40.5"}, {"SilenceSeconds", "3"}, {"FallbackFolder", " fb "}});
    const core::DeadAirSettings set = core::DeadAirSettings::read(ini);
    EXPECT_EQ(set.silenceLevelDb, -40.5);
    EXPECT_EQ(set.silenceSeconds, 3);
    EXPECT_EQ(set.fallbackFolder, "fb");
    watch.setRules(set);
    look(100, kSound);
    // −40.5 dBFS is a peak of 0.0094: 0.009 is silence, 0.01 is sound.
    EXPECT_FALSE(look(3000, 0.009f));
    EXPECT_TRUE(look(100, 0.009f));
    look(100, 0.01f);
    EXPECT_FALSE(look(3000, 0.01f));
    // Nonsense falls back to the defaults; values out of range are clamped.
    core::IniWriteMany(ini, "Linux", {{"SilenceLevel", "loud"}, {"SilenceSeconds", "0"}});
    EXPECT_EQ(core::DeadAirSettings::read(ini).silenceLevelDb, -50.0);
    EXPECT_EQ(core::DeadAirSettings::read(ini).silenceSeconds, 1);
    core::IniWriteMany(ini, "Linux", {{"SilenceLevel", "12"}, {"SilenceSeconds", "x"}});
    EXPECT_EQ(core::DeadAirSettings::read(ini).silenceLevelDb, 0.0);
    EXPECT_EQ(core::DeadAirSettings::read(ini).silenceSeconds, 10);
}

}  // namespace
}  // namespace pelvano::test
