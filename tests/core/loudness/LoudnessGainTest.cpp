// The gain rule and what a start takes from the facts, and the settings keys as stored.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/app/IniFile.h"
#include "core/loudness/LoudnessGain.h"
#include "core/loudness/LoudnessSettings.h"
#include "support/PlantedFacts.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

using core::ItemLevelling;
using core::LoudnessFacts;
using core::LoudnessGain;
using core::LoudnessSettings;

TEST(LoudnessGainTest, TargetMinusLoudnessLoweredToKeepTheTruePeakBelowTheCeiling) {
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-8.0, -0.5), -23.0), -15.0);
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-30.0, -20.0), -23.0), 7.0);
    // +7 wanted, the peak at −4 allows +3.
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-30.0, -4.0), -23.0), 3.0);
    // A peak already above the ceiling lowers even a file at the target.
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-23.0, 0.5), -23.0), -1.5);
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-16.0, -10.0), -16.0), 0.0);
}

TEST(LoudnessGainTest, SilenceAndNearSilenceAreNotRaisedIntoNoise) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-inf, -inf), -23.0), 0.0);
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-70.0, -60.0), -23.0), LoudnessGain::kMaxBoostDb);
    EXPECT_DOUBLE_EQ(LoudnessGain::gainDb(Facts(-40.0, -inf), -23.0), 17.0);
}

TEST(LoudnessGainTest, AStartTakesTheGainAndCuePointsItsSwitchesAllow) {
    LoudnessSettings both;
    both.Loudness = true;
    both.TrimSilence = true;
    const LoudnessFacts facts = Facts(-14.0, -3.0, 2.5, 181.25);
    EXPECT_EQ(LoudnessGain::forItem(facts, both, false), (ItemLevelling{-9.0, 2500, 181250}));

    LoudnessSettings gainOnly = both;
    gainOnly.TrimSilence = false;
    EXPECT_EQ(LoudnessGain::forItem(facts, gainOnly, false), (ItemLevelling{-9.0, 0, 0}));
    LoudnessSettings trimOnly = both;
    trimOnly.Loudness = false;
    EXPECT_EQ(LoudnessGain::forItem(facts, trimOnly, false), (ItemLevelling{0.0, 2500, 181250}));

    // Chimes and time signals, files without facts, stations without the keys: as they are.
    EXPECT_EQ(LoudnessGain::forItem(facts, both, true), ItemLevelling{});
    EXPECT_EQ(LoudnessGain::forItem(std::nullopt, both, false), ItemLevelling{});
    EXPECT_EQ(LoudnessGain::forItem(facts, LoudnessSettings{}, false), ItemLevelling{});
}

TEST(LoudnessGainTest, AnEstimateGivesItsGainAndCueInButNoCueOut) {
    LoudnessSettings both;
    both.Loudness = true;
    both.TrimSilence = true;
    EXPECT_EQ(LoudnessGain::forItem(Facts(-20.0, -6.0, 1.2, 9.9, true), both, false),
              (ItemLevelling{-3.0, 1200, 0}));
    // Never above the cue level: nothing is trimmed.
    EXPECT_EQ(LoudnessGain::forItem(Facts(-20.0, -6.0, 0.0, 0.0), both, false),
              (ItemLevelling{-3.0, 0, 0}));
}

TEST(LoudnessSettingsTest, MissingKeysReadAsOffAndSavesWriteOnlyWhatChanged) {
    TempDir dir;
    const std::string ini = (dir.path() / "settings.ini").string();
    core::IniWrite(ini, "START", "spOver", "3");
    EXPECT_EQ(core::LoadLoudnessSettings(ini), LoudnessSettings{});
    ASSERT_TRUE(core::SaveLoudnessSettings(ini, LoudnessSettings{}));
    EXPECT_EQ(core::IniRead(ini, "Linux", "TargetLUFS"), "") << "a default was added";

    LoudnessSettings s;
    s.Loudness = true;
    s.TargetLUFS = -16.04;
    s.CueLevel = -50.0;
    ASSERT_TRUE(core::SaveLoudnessSettings(ini, s));
    EXPECT_EQ(core::IniRead(ini, "Linux", "Loudness"), "YES");
    EXPECT_EQ(core::IniRead(ini, "Linux", "TargetLUFS"), "-16.0");
    EXPECT_EQ(core::IniRead(ini, "Linux", "CueLevel"), "-50.0");
    EXPECT_EQ(core::IniRead(ini, "Linux", "TrimSilence"), "");
    const LoudnessSettings back = core::LoadLoudnessSettings(ini);
    EXPECT_TRUE(back.Loudness);
    EXPECT_DOUBLE_EQ(back.TargetLUFS, -16.0);
    EXPECT_DOUBLE_EQ(back.CueLevel, -50.0);
}

TEST(LoudnessSettingsTest, UnreadableOrOutOfRangeNumbersAreMadeValid) {
    TempDir dir;
    const std::string ini = (dir.path() / "settings.ini").string();
    core::IniWrite(ini, "Linux", "TargetLUFS", "loud");
    core::IniWrite(ini, "Linux", "CueLevel", "-500");
    core::IniWrite(ini, "Linux", "Loudness", "yes");
    LoudnessSettings s = core::LoadLoudnessSettings(ini);
    EXPECT_DOUBLE_EQ(s.TargetLUFS, -23.0);
    EXPECT_DOUBLE_EQ(s.CueLevel, LoudnessSettings::kMinCueLevelDbfs);
    EXPECT_TRUE(s.Loudness);
    core::IniWrite(ini, "Linux", "TargetLUFS", " -70 ");
    EXPECT_DOUBLE_EQ(core::LoadLoudnessSettings(ini).TargetLUFS, LoudnessSettings::kMinTargetLufs);
}

}  // namespace
}  // namespace pelvano::test
