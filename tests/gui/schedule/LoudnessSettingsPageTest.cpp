// The settings window's "音量均衡" page and the schedule window's loudness tooltip, offscreen on
// a station in virtual time.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QTabWidget>

#include "core/playout/StationFixture.h"
#include "core/ports/LoudnessSource.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/LoudnessSettingsPage.h"
#include "gui/schedule/ScheduleGridModel.h"

namespace pelvano::test {
namespace {

// Reports its facts for every file the station measures ahead, at once.
class KnownLoudness final : public core::LoudnessSource {
  public:
    std::optional<core::LoudnessFacts> lookUp(const std::string&) override { return {}; }
    std::optional<core::LoudnessFacts> estimate(const std::string&) override { return {}; }
    void measureAhead(const std::vector<std::string>& natives, Measured measured) override {
        for (const std::string& native : natives) {
            if (const auto it = facts.find(native); it != facts.end()) measured(native, it->second);
        }
    }
    std::map<std::string, core::LoudnessFacts> facts;
};

class LoudnessSettingsPageTest : public StationFixture {
  protected:
    std::string key(const std::string& name) const {
        return core::IniReadDef(paths.settingsFile(), "Linux", name, "(absent)");
    }
};

TEST_F(LoudnessSettingsPageTest, ShowsTheKeysAndHandsEachChangeToTheStation) {
    core::IniWrite(paths.settingsFile(), "Linux", "TargetLUFS", "-18");
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    para.loadFromStation();
    ASSERT_EQ(para.pages()->count(), 5);
    EXPECT_EQ(para.pages()->tabText(4), QStringLiteral("音量均衡"));
    gui::LoudnessSettingsPage& page = *para.loudnessPage();
    EXPECT_FALSE(page.chkLoudness()->isChecked());
    EXPECT_FALSE(page.chkTrimSilence()->isChecked());
    EXPECT_DOUBLE_EQ(page.spTarget()->value(), -18.0);
    EXPECT_DOUBLE_EQ(page.spCueLevel()->value(), -45.0);
    EXPECT_EQ(key("Loudness"), "(absent)") << "showing the page wrote a key";

    page.chkLoudness()->setChecked(true);
    EXPECT_EQ(key("Loudness"), "YES");
    EXPECT_TRUE(station->loudnessSettings().Loudness);
    page.spCueLevel()->setValue(-52.5);
    EXPECT_EQ(key("CueLevel"), "-52.5");
    EXPECT_DOUBLE_EQ(station->loudnessSettings().CueLevel, -52.5);
    EXPECT_EQ(key("TrimSilence"), "(absent)");
}

TEST_F(LoudnessSettingsPageTest, ARowsTooltipShowsItsLoudnessGainAndCuePoints) {
    KnownLoudness known;
    core::LoudnessFacts f;
    f.integratedLufs = -14.0;
    f.truePeakDbtp = -3.0;
    f.lraLu = 4.5;
    f.cueInSeconds = 1.5;
    f.cueOutSeconds = 180.25;
    known.facts[paths.applicationDir + "音乐/a.mp3"] = f;
    loudness = &known;
    core::IniWriteMany(paths.settingsFile(), "Linux",
                       {{"Loudness", "YES"}, {"TrimSilence", "YES"}});
    addSound("音乐/a.mp3", 30);
    addSound("b.mp3", 30);
    writeSchedule({{"音乐/a.mp3"}, {"b.mp3"}});
    makeStation();
    gui::TFrmPlayJM window(*station);
    startStation();
    window.repaintSchedule();
    const auto tip = [&](int row) {
        return window.gridModel()
            ->data(window.gridModel()->index(row, core::kColTitle), Qt::ToolTipRole)
            .toString();
    };
    EXPECT_EQ(tip(0), QStringLiteral("响度 -14.0 LUFS，真峰值 -3.0 dBTP，响度范围 4.5 LU\n"
                                     "增益 -9.0 dB\n入点 1.50 秒，出点 180.25 秒"));
    EXPECT_EQ(tip(1), QStringLiteral("响度尚未测量"));
}

}  // namespace
}  // namespace pelvano::test
