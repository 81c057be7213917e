// Items on air at their loudness gain and inside their cue points, as the captured sound shows:
// the gain holds from the first sample and never changes while the item plays, time signals
// and a station without the keys sound as the files are, and the cue-out times the cross-fade.
#include <cmath>
#include <filesystem>

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/ports/LoudnessSource.h"
#include "support/PlantedFacts.h"

namespace pelvano::test {
namespace {

// Facts planted by the test; measureAhead keeps its callback for the test to report through.
class PlantedLoudness final : public core::LoudnessSource {
  public:
    std::optional<core::LoudnessFacts> lookUp(const std::string& native) override {
        return find(full, native);
    }
    std::optional<core::LoudnessFacts> estimate(const std::string& native) override {
        return find(estimates, native);
    }
    void measureAhead(const std::vector<std::string>&, Measured measured) override {
        report = std::move(measured);
    }

    std::map<std::string, core::LoudnessFacts> full;
    std::map<std::string, core::LoudnessFacts> estimates;
    Measured report;

  private:
    static std::optional<core::LoudnessFacts> find(
        const std::map<std::string, core::LoudnessFacts>& facts, const std::string& native) {
        const auto it = facts.find(native);
        if (it == facts.end()) return std::nullopt;
        return it->second;
    }
};

double Db(double level) {
    return 20.0 * std::log10(level);
}

class LevellingOnAirTest : public StationFixture {
  protected:
    void SetUp() override {
        setKey("spIN", "0");
        setKey("spOut", "0");
        loudness = &source;
    }
    void levelling(bool loudnessOn, bool trim) {
        core::IniWrite(paths.settingsFile(), "Linux", "Loudness", loudnessOn ? "YES" : "NO");
        core::IniWrite(paths.settingsFile(), "Linux", "TrimSilence", trim ? "YES" : "NO");
    }
    std::string native(const std::string& name) const { return paths.applicationDir + name; }

    PlantedLoudness source;
};

// Constant levels of 0.5 (−6.02 dBFS): the first captured frame shows the gain exactly.
TEST_F(LevellingOnAirTest, GainHoldsFromTheFirstSampleAndTheTruePeakLimitsIt) {
    levelling(true, false);
    addSound("loud.wav", 2, 0.5, 0);
    addSound("quiet.wav", 2, 0.5, 0);
    source.full[native("loud.wav")] = Facts(-14.0, -6.0);   // −9 dB
    source.full[native("quiet.wav")] = Facts(-30.0, -6.0);  // +7 dB wanted, +5 dB allowed
    writeSchedule({{"loud.wav", "", "0"}, {"quiet.wav", "", "0"}});
    startStation();
    runUntilTime(8, 0, 0);
    const double first = firstSoundMs(0);
    ASSERT_GE(first, 0);
    EXPECT_NEAR(Db(peak(first, 0.1)), Db(0.5) - 9.0, 0.01) << "the first sample at its gain";
    EXPECT_NEAR(Db(peak(first + 1000, 500)), Db(0.5) - 9.0, 0.01);
    EXPECT_NEAR(Db(peak(first + 2300, 1000)), Db(0.5) + 5.0, 0.01) << "peak at −1 dBTP";
    EXPECT_GE(countOf("音量均衡: 增益[-9.0]dB"), 1) << "the start logs its gain";
}

// A fallback item is an item like any other: it plays at its gain too.
TEST_F(LevellingOnAirTest, TheFallbackPlaysAtItsGain) {
    levelling(true, false);
    std::filesystem::create_directories(dir.file("fill"));
    addSound("fill/备用.wav", 30, 0.5, 0);
    core::IniWrite(paths.settingsFile(), "Linux", "FallbackFolder", "fill");
    source.full[native("fill/备用.wav")] = Facts(-17.0, -6.0);  // −6 dB
    writeSchedule({{"gone.wav", "", "0"}});
    startStation();
    runUntilTime(8, 0, 5);
    ASSERT_GE(countOf("播放备用节目：备用.wav"), 1);
    EXPECT_GE(countOf("音量均衡: 增益[-6.0]dB,入点[0]毫秒,出点[0]毫秒,<备用.wav>"), 1)
        << "the log names the file in its own encoding";
    const double first = firstSoundMs(0);
    ASSERT_GE(first, 0);
    EXPECT_NEAR(Db(peak(first + 500, 500)), Db(0.5) - 6.0, 0.01);
}

TEST_F(LevellingOnAirTest, AnEstimatedGainStaysWhileOnAirAndTheNextStartTakesTheMeasurement) {
    levelling(true, false);
    addSound("song.wav", 3, 0.5, 0);
    source.estimates[native("song.wav")] = Facts(-17.0, -6.0, 0, 0, true);  // −6 dB
    writeSchedule({{"song.wav", "", "0"}, {"song.wav", "", "0"}});
    startStation();
    runUntilTime(7, 59, 51);
    ASSERT_TRUE(source.report) << "the schedule was measured ahead";
    source.report(native("song.wav"), Facts(-11.0, -6.0));  // −12 dB
    runUntilTime(7, 59, 57);
    const double first = firstSoundMs(0);
    EXPECT_NEAR(Db(peak(first, 0.1)), Db(0.5) - 6.0, 0.01);
    EXPECT_NEAR(Db(peak(first + 1500, 1400)), Db(0.5) - 6.0, 0.01) << "changed on air";
    EXPECT_NEAR(Db(peak(first + 3100, 2000)), Db(0.5) - 12.0, 0.01);
    EXPECT_NEAR(station->loudness().find(native("song.wav"))->integratedLufs, -11.0, 1e-9);
}

TEST_F(LevellingOnAirTest, TimeSignalsAndAStationWithoutTheKeysSoundAsTheFilesAre) {
    std::filesystem::create_directories(dir.path() / "报时文件");
    addSound("报时文件/ident.wav", 2, 0.5, 0);
    addSound("song.wav", 2, 0.5, 0);
    source.full[native("报时文件/ident.wav")] = Facts(-14.0, -6.0);
    source.full[native("song.wav")] = Facts(-14.0, -6.0);
    writeSchedule({{"报时文件/ident.wav", "", "0"}, {"song.wav", "", "0"}});
    levelling(true, true);
    startStation();
    runUntilTime(7, 59, 55);
    const double first = firstSoundMs(0);
    EXPECT_NEAR(peak(first, 1900), 0.5, 1e-6) << "a file of the chimes folder was levelled";
    EXPECT_NEAR(Db(peak(first + 2200, 1000)), Db(0.5) - 9.0, 0.01);
}

TEST_F(LevellingOnAirTest, AStationFolderWithoutTheKeysPlaysItsFilesAsTheyAre) {
    addSound("song.wav", 4, 0.5, 0);
    source.full[native("song.wav")] = Facts(-14.0, -6.0, 1.0, 3.0);
    writeSchedule({{"song.wav", "", "0"}});
    startStation();
    runUntilTime(7, 59, 53);
    const double first = firstSoundMs(0);
    EXPECT_NEAR(peak(first, 2500), 0.5, 1e-6);
    EXPECT_EQ(countOf("音量均衡"), 0);
}

TEST_F(LevellingOnAirTest, CuePointsStartTheItemAndTimeTheCrossFade) {
    levelling(false, true);
    addSound("a.wav", 10, 0.5, 0);
    addSound("b.wav", 10, 0.25, 0);
    source.full[native("a.wav")] = Facts(-20.0, -6.0, 2.0, 6.0);
    writeSchedule({{"a.wav", "", "1"}, {"b.wav", "", "1"}});
    startStation();
    runUntilTime(7, 59, 50, 500);
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    EXPECT_GE(station->state().CurrentChannel->Position(), 2000) << "started at its cue-in";
    EXPECT_EQ(station->state().CurrentChannel->Length(), 10000) << "the file's length stays";
    runUntilTime(7, 59, 58);
    const double first = firstSoundMs(0);
    // a plays 4 s (2 s to 6 s); b starts 1 s before a's cue-out; no gain: Loudness is off.
    const double second = firstSoundMs(first + 2900, 0.6);
    EXPECT_NEAR(second - first, 3000, 150) << "the cross-fade counted from the cue-out";
    EXPECT_LT(peak(first + 4100, 1000), 0.26) << "a went on after its cue-out";
    EXPECT_NEAR(peak(first + 500, 2000), 0.5, 1e-6);
}

TEST_F(LevellingOnAirTest, EstimatesCountTheCuedLengthWhileTheLengthColumnKeepsTheFiles) {
    levelling(false, true);
    addSound("a.wav", 10, 0.5, 0);
    addSound("b.wav", 10, 0.5, 0);
    addSound("c.wav", 10, 0.5, 0);
    source.full[native("a.wav")] = Facts(-20.0, -6.0, 2.0, 62.0);
    source.full[native("b.wav")] = Facts(-20.0, -6.0, 1.0, 31.0, true);  // an estimate: no cue-out
    writeSchedule({{"a.wav", "09:00:00", "5"}, {"b.wav", "", "5"}, {"c.wav", "", "5"}});
    startStation();
    const core::Grid& grid = station->table().sgJM;
    EXPECT_EQ(grid.cell(core::kColEstimate, 2), "09:00:05") << "before anything is known";
    runUntilTime(7, 59, 50, 500);
    ASSERT_TRUE(source.report);
    source.report(native("a.wav"), source.full[native("a.wav")]);
    source.report(native("b.wav"), source.full[native("b.wav")]);
    runUntilTime(7, 59, 51);
    // a counts 60 s from cue-in to cue-out; b, only estimated, its length cell (10 s).
    EXPECT_EQ(grid.cell(core::kColEstimate, 2), "09:00:55");
    EXPECT_EQ(grid.cell(core::kColEstimate, 3), "09:01:00");
    EXPECT_EQ(grid.cell(core::kColLength, 1), "00:00:10");
}

}  // namespace
}  // namespace pelvano::test
