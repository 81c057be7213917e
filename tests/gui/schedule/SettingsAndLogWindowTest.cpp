// The settings window and the play-process log window, offscreen on a station in virtual time.
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimeEdit>

#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/StationFixture.h"
#include "gui/controls/MyShape.h"
#include "gui/playout/FrmHis.h"
#include "gui/schedule/FrmPara.h"

namespace pelvano::test {
namespace {

using core::SettingColor;
using core::SettingFlag;

class SettingsWindowTest : public StationFixture {
  protected:
    std::string key(const std::string& name) const {
        return core::IniRead(paths.settingsFile(), "START", name);
    }
};

TEST_F(SettingsWindowTest, ControlsShowTheSettingsAndWriteEachChangeAtOnce) {
    setKey("spOut", "90");
    setKey("chkSure", "True");
    setKey("chkRcdHis", " YES");
    setKey("LoadTime", "05:30:00");
    setKey("chkManOper", "NO");
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    EXPECT_EQ(para.windowTitle(), QStringLiteral("系统参数设置"));
    EXPECT_EQ(para.spOut()->value(), 59);
    EXPECT_EQ(para.spOver()->minimum(), 1);
    EXPECT_EQ(para.spOver()->maximum(), 60);
    EXPECT_TRUE(para.flagBox(SettingFlag::chkSure)->isChecked());
    EXPECT_FALSE(para.flagBox(SettingFlag::chkRcdHis)->isChecked());
    EXPECT_EQ(para.flagBox(SettingFlag::chkClockHalf)->text(), QStringLiteral("半点提示"));
    EXPECT_EQ(para.loadTimePicker()->time(), QTime(5, 30, 0));
    EXPECT_EQ(para.cbDevID()->toolTip(),
              QStringLiteral("改变播出声卡，会导致所有节目停播。需手动重新启动节目！"));
    ASSERT_GE(para.cbDevID()->count(), 2);
    EXPECT_TRUE(para.cbDevID()->itemText(0).startsWith(QStringLiteral("(00)")));
    EXPECT_TRUE(para.cbDevID()->itemText(1).startsWith(QStringLiteral("(01)")));

    para.flagBox(SettingFlag::chkTimedPlay)->click();
    EXPECT_EQ(key("chkTimedPlay"), "NO");
    EXPECT_FALSE(station->settings().chkTimedPlay());
    para.spOver()->setValue(12);
    EXPECT_EQ(key("spOver"), "12");
    EXPECT_EQ(station->settings().spOver(), 12);
    para.loadTimePicker()->setTime(QTime(6, 15, 30));
    EXPECT_EQ(key("LoadTime"), "06:15:30");
    EXPECT_EQ(station->settings().LoadTimeSeconds(), 6 * 3600 + 15 * 60 + 30);

    // Font and colours through their dialogs; a cancelled dialog changes nothing.
    int appearance = 0;
    para.onAppearanceChanged = [&] { ++appearance; };
    para.chooseColor = [](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); };
    para.swatchClick(SettingColor::plDTcl);
    EXPECT_EQ(key("plDTclR") + key("plDTclG") + key("plDTclB"), "123");
    EXPECT_EQ(para.swatch(SettingColor::plDTcl)->Color(), 0x030201u);
    para.chooseFont = [](const QFont&) {
        return std::optional<QFont>(QFont(QStringLiteral("楷体"), 14));
    };
    para.btnFlyfontClick();
    EXPECT_NE(key("Font").find("14"), std::string::npos);
    EXPECT_EQ(station->settings().font().size, 14);
    para.chooseColor = [](const QColor&) { return std::optional<QColor>(); };
    para.swatchClick(SettingColor::plTTcl);
    EXPECT_EQ(appearance, 2);

    // Closing only hides it.
    para.show();
    EXPECT_TRUE(para.close());
    EXPECT_FALSE(para.isVisible());
}

// Dark pixels inside a check box's indicator: its tick.
int tickPixels(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    const QImage image = box->grab().toImage();
    int dark = 0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y)
        for (int x = indicator.left(); x <= indicator.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

TEST_F(SettingsWindowTest, EveryCheckMarkStandsOutFromItsBox) {
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    para.show();
    std::vector<QCheckBox*> boxes = {para.chkAutoStart()};
    for (int f = 0; f < static_cast<int>(SettingFlag::kCount); ++f)
        if (QCheckBox* box = para.flagBox(static_cast<SettingFlag>(f))) boxes.push_back(box);
    for (QCheckBox* box : boxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(false);
        const int unticked = tickPixels(box);
        box->setChecked(true);
        EXPECT_GE(tickPixels(box) - unticked, 6) << box->text().toStdString();
        EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
}

TEST_F(SettingsWindowTest, ChangingTheDeviceWhilePlayingKeepsTheStationRunning) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    setKey("spOut", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    startStation();
    gui::TFrmPara para(*station);
    sim.advanceBy(2000);
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    para.cbDevID()->setCurrentIndex(1);
    para.cbDevIDChange(1);
    EXPECT_EQ(key("cbDevID"), "1");
    EXPECT_EQ(station->state().CurrentChannel, nullptr);  // nothing restarts by itself
    station->items().btnPlayClick();
    sim.advanceBy(3000);
    ASSERT_NE(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(station->state().CurrentChannel->State(), core::ChannelState::Playing);
}

TEST_F(SettingsWindowTest, TheTagButtonReleasesTheItemOnAirAndTheLyricsButtonHides) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    setKey("spOut", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    startStation();
    gui::TFrmPara para(*station);
    sim.advanceBy(1000);
    core::TcbDSMixerChannel* onAir = station->state().CurrentChannel;
    ASSERT_NE(onAir, nullptr);
    bool held = false;
    para.onTagWindow = [&] {
        held = station->state().PlayoutHold;
        EXPECT_EQ(onAir->State(), core::ChannelState::Stopped);
        EXPECT_TRUE(onAir->FileName().empty());
        sim.advanceBy(500);  // the modal window's own loop: the scheduler holds still
        EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 0);
    };
    para.btnClose()->click();
    EXPECT_TRUE(held);
    EXPECT_FALSE(station->state().PlayoutHold);
    sim.advanceBy(500);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 1);  // the next row follows on the next tick

    bool lyrics = false;
    para.show();
    para.onLyricsSettings = [&] { lyrics = !para.isVisible(); };
    para.btnMusic()->click();
    EXPECT_TRUE(lyrics);
}

class LogWindowTest : public StationFixture {};

TEST_F(LogWindowTest, MemoLimitClearAndGeometryKeys) {
    setKey("WinHisW", "500");
    setKey("WinHisH", "200");
    setKey("WinHisL", "30");
    setKey("WinHisT", "40");
    setKey("chkManOper", "NO");
    writeSchedule({{""}});
    startStation();
    gui::TFrmHis his(*station);
    his.show();
    EXPECT_EQ(his.windowTitle(), QStringLiteral("详细播放过程记录"));
    EXPECT_EQ(his.size(), QSize(500, 200));
    EXPECT_EQ(his.pos(), QPoint(30, 40));
    QTest::qWait(10);
    his.move(60, 70);  // a move alone writes nothing
    QTest::qWait(10);
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "WinHisL"), "30");

    station->log().LogLine(core::Gbk("第一行"));
    EXPECT_TRUE(his.mmHis()->toPlainText().endsWith(QStringLiteral(": 第一行")));
    his.clearLog();
    EXPECT_TRUE(his.mmHis()->toPlainText().isEmpty());
    for (int i = 1; i <= 500; ++i) station->log().LogLine("line " + std::to_string(i));
    EXPECT_EQ(his.mmHis()->blockCount(), 500);
    station->log().LogLine("line 501");
    EXPECT_TRUE(his.mmHis()->toPlainText().isEmpty());
    station->log().LogLine("again");
    EXPECT_EQ(his.mmHis()->blockCount(), 1);

    his.resize(420, 180);
    QTest::qWait(10);
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "WinHisW"), "420");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "WinHisH"), "180");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "WinHisL"), "60");
}

}  // namespace
}  // namespace pelvano::test
