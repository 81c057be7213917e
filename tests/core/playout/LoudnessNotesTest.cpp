// The loudness facts the station gathers: from the measurement ahead of every loaded schedule
// and from each prepared item (the cached facts, else a quick estimate and the full measurement
// queued), all noted in the station's book.
#include <gtest/gtest.h>

#include <map>

#include "StationFixture.h"
#include "core/playout/ItemPreparer.h"
#include "core/ports/LoudnessSource.h"
#include "support/ManualWork.h"

namespace pelvano::test {
namespace {

core::LoudnessFacts Facts(double lufs, bool estimate) {
    core::LoudnessFacts f;
    f.integratedLufs = lufs;
    f.estimate = estimate;
    return f;
}

class FakeLoudness final : public core::LoudnessSource {
  public:
    std::optional<core::LoudnessFacts> lookUp(const std::string& native) override {
        const auto it = cached.find(native);
        if (it == cached.end()) return std::nullopt;
        return it->second;
    }
    std::optional<core::LoudnessFacts> estimate(const std::string&) override { return estimated; }
    void measureAhead(const std::vector<std::string>& natives, Measured measured) override {
        asked.push_back(natives);
        reports.push_back(std::move(measured));
    }

    std::map<std::string, core::LoudnessFacts> cached;
    std::optional<core::LoudnessFacts> estimated = Facts(-12.0, true);
    std::vector<std::vector<std::string>> asked;
    std::vector<Measured> reports;
};

class PreparedLoudnessTest : public ::testing::Test {
  protected:
    PreparedLoudnessTest() : resolver(dir.path().string() + "/", "") {
        dir.write("a.wav", "");
        tones.add(dir.file("a.wav"), ToneSpec{});
        preparer.onLoudness = [this](const std::string& native, const core::LoudnessFacts& f) {
            noted.emplace_back(native, f.integratedLufs);
        };
    }
    core::ItemPreparer::Taken prepare() {
        preparer.request("a.wav");
        work.finishAll();
        return preparer.take("a.wav");
    }

    TempDir dir;
    SyntheticSourceFactory tones;
    core::StoredPathResolver resolver;
    ManualWork work;
    FakeLoudness source;
    core::ItemPreparer preparer{work, tones, resolver};
    std::vector<std::pair<std::string, double>> noted;
};

TEST_F(PreparedLoudnessTest, CachedFactsComeWithTheItemAndNothingIsMeasuredAgain) {
    source.cached[dir.file("a.wav")] = Facts(-20.0, false);
    preparer.setLoudness(&source);
    const auto taken = prepare();
    ASSERT_TRUE(taken.loudness);
    EXPECT_DOUBLE_EQ(taken.loudness->integratedLufs, -20.0);
    EXPECT_FALSE(taken.loudness->estimate);
    EXPECT_EQ(noted, (std::vector<std::pair<std::string, double>>{{dir.file("a.wav"), -20.0}}));
    EXPECT_TRUE(source.asked.empty());
}

TEST_F(PreparedLoudnessTest, AnEstimateStandsInAndTheFullMeasurementIsQueued) {
    preparer.setLoudness(&source);
    const auto taken = prepare();
    ASSERT_TRUE(taken.loudness);
    EXPECT_TRUE(taken.loudness->estimate);
    ASSERT_EQ(source.asked, (std::vector<std::vector<std::string>>{{dir.file("a.wav")}}));
    source.reports[0](dir.file("a.wav"), Facts(-14.5, false));
    EXPECT_EQ(noted, (std::vector<std::pair<std::string, double>>{{dir.file("a.wav"), -12.0},
                                                                   {dir.file("a.wav"), -14.5}}));
}

TEST_F(PreparedLoudnessTest, WithoutASourceOrAnEstimateTheItemStillPlays) {
    EXPECT_EQ(prepare().state, core::ItemPreparer::State::Ready);
    EXPECT_TRUE(noted.empty());
    source.estimated.reset();
    preparer.setLoudness(&source);
    const auto taken = prepare();
    EXPECT_EQ(taken.state, core::ItemPreparer::State::Ready);
    EXPECT_FALSE(taken.loudness);
    EXPECT_TRUE(source.asked.empty()) << "a file that cannot be estimated cannot be measured";
    // Reported after the preparer is gone: dropped.
    auto gone = std::make_unique<core::ItemPreparer>(work, tones, resolver);
    source.estimated = Facts(-9.0, true);
    gone->setLoudness(&source);
    int heard = 0;
    gone->onLoudness = [&](const std::string&, const core::LoudnessFacts&) { ++heard; };
    gone->request("a.wav");
    work.finishAll();
    ASSERT_EQ(source.reports.size(), 1u);
    gone.reset();
    source.reports[0](dir.file("a.wav"), Facts(-14.0, false));
    EXPECT_EQ(heard, 1) << "only the estimate, heard while the preparer was there";
}

class StationLoudnessNotesTest : public StationFixture {};

// A station that neither levels nor trims does not open its files a second time to measure them.
TEST_F(StationLoudnessNotesTest, WithoutLevellingOrTrimmingNothingIsMeasured) {
    FakeLoudness source;
    loudness = &source;
    addSound("one.wav", 30);
    writeSchedule({{"one.wav"}});
    startStation();
    runUntilTime(8, 0, 2);
    EXPECT_TRUE(source.asked.empty());
}

TEST_F(StationLoudnessNotesTest, EveryLoadedScheduleIsMeasuredAheadAndTheBookKeepsTheBestFacts) {
    FakeLoudness source;
    loudness = &source;
    core::IniWrite(paths.settingsFile(), "Linux", "Loudness", "YES");
    addSound("one.wav", 30);
    addSound("two.wav", 30);
    writeSchedule({{"one.wav"}, {}, {"two.wav"}});
    startStation();
    const std::string one = paths.applicationDir + "one.wav";
    const std::string two = paths.applicationDir + "two.wav";
    ASSERT_FALSE(source.asked.empty());
    EXPECT_EQ(source.asked[0], (std::vector<std::string>{one, two}));
    // The first item on air was prepared with an estimate, which the book holds until the
    // full measurement arrives; a later estimate never replaces a full measurement.
    ASSERT_TRUE(station->loudness().find(one));
    EXPECT_TRUE(station->loudness().find(one)->estimate);
    source.reports[0](one, Facts(-18.0, false));
    source.reports[0](two, Facts(-25.0, false));
    EXPECT_DOUBLE_EQ(station->loudness().find(one)->integratedLufs, -18.0);
    EXPECT_FALSE(station->loudness().find(two)->estimate);
    const std::size_t before = source.asked.size();
    station->loadTodaySchedule();
    EXPECT_EQ(source.asked.size(), before + 1);
    EXPECT_EQ(source.asked.back(), (std::vector<std::string>{one, two}));
}

}  // namespace
}  // namespace pelvano::test
