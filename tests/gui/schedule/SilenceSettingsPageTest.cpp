// The settings window's "静音与备用" page, offscreen on a station in virtual time.
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "core/playout/StationFixture.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/SilenceSettingsPage.h"

namespace pelvano::test {
namespace {

class SilenceSettingsPageTest : public StationFixture {
  protected:
    std::string key(const std::string& name) {
        EXPECT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
        return core::IniReadDef(paths.settingsFile(), "Linux", name, "(absent)");
    }
};

TEST_F(SilenceSettingsPageTest, ShowsTheStoredKeysAndPutsAnEditInForceAtOnce) {
    core::IniWriteMany(paths.settingsFile(), "Linux",
                       {{"SilenceLevel", "-45.5"}, {"FallbackFolder", core::Gbk("备用")}});
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    para.loadFromStation();
    EXPECT_EQ(para.pages()->tabText(3), QStringLiteral("静音与备用"));
    gui::SilenceSettingsPage& page = *para.silencePage();
    EXPECT_EQ(page.spLevel()->value(), -45.5);
    EXPECT_EQ(page.spSeconds()->value(), 10);
    EXPECT_EQ(page.edFolder()->text(), QStringLiteral("备用"));

    // Showing values writes nothing.
    EXPECT_EQ(key("SilenceSeconds"), "(absent)");
    page.spSeconds()->setValue(4);
    EXPECT_EQ(station->deadAirSettings().silenceSeconds, 4);
    EXPECT_EQ(station->deadAir().silenceSeconds(), 4);
    EXPECT_EQ(key("SilenceSeconds"), "4");
    EXPECT_EQ(key("SilenceLevel"), "-45.5");  // the others stored as they were
    page.edFolder()->setText(QStringLiteral(" 夜间备用 "));
    Q_EMIT page.edFolder()->editingFinished();
    EXPECT_EQ(station->deadAirSettings().fallbackFolder, core::Gbk("夜间备用"));
    EXPECT_EQ(key("FallbackFolder"), core::Gbk("夜间备用"));
}

}  // namespace
}  // namespace pelvano::test
