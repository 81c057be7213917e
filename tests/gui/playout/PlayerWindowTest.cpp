// The player window on a real station (null output): its shape and the arithmetic of its look,
// the colour styles and the transparency with the docked schedule window following, dragging,
// the buttons that reach other windows, and the exit confirmation.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayerSliders.h"
#include "gui/MouseEvents.h"
#include "gui/app/AppFixture.h"
#include "gui/controls/MyProgressBarNew.h"
#include "gui/controls/MyRoundButton.h"
#include "gui/controls/MyVolMeter.h"
#include "gui/controls/TransparentButton.h"
#include "gui/controls/velTracker.h"
#include "gui/playout/DigitalFont.h"
#include "gui/playout/PlayerSkin.h"
#include "gui/playout/PlayerWidgets.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/ScheduleGridView.h"

namespace pelvano::gui {
namespace {

using core::ColorStyle;
using core::PlayerSliders;

struct PlayerTest : testing::AppFixture {
    // Starts the application with these settings (GBK INI text), its schedule window docked.
    TFrmMain* startWith(const std::string& ini) {
        if (!ini.empty()) dir.write("参数设置.INI", core::Gbk(ini));
        app = makeApp();
        EXPECT_EQ(app->start(), 0);
        schedule = dynamic_cast<TFrmPlayJM*>(app->windows().frmPlayJM);
        EXPECT_NE(schedule, nullptr);
        return app->windows().frmMain;
    }
    std::string key(const char* section, const char* name) {
        return core::IniRead(dir.file("参数设置.INI"), core::Gbk(section), name);
    }

    std::unique_ptr<StationApp> app;
    TFrmPlayJM* schedule = nullptr;
};

QRgb labelColour(const QLabel* l) {
    return l->palette().color(QPalette::WindowText).rgb();
}

// A 16-bit stereo WAV of a 440 Hz tone.
void writeTone(const std::string& path, int seconds) {
    const std::uint32_t frames = 44100u * static_cast<std::uint32_t>(seconds), bytes = frames * 4;
    std::string data = "RIFF";
    const auto u32 = [&](std::uint32_t v) { data.append(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](std::uint16_t v) { data.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + bytes);
    data += "WAVEfmt ";
    u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
    data += "data";
    u32(bytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        u16(static_cast<std::uint16_t>(v)), u16(static_cast<std::uint16_t>(v));
    }
    std::ofstream(path, std::ios::binary) << data;
}

TEST_F(PlayerTest, TheWindowIsCutToItsSkinWithTheBlueCornersKeyedOut) {
    TFrmMain* player = startWith("");
    EXPECT_EQ(player->size(), QSize(297, 147));
    EXPECT_TRUE(player->windowFlags() & Qt::FramelessWindowHint);
    const QImage shaped = player->renderShaped();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(296, 0), QPoint(0, 146), QPoint(296, 146), QPoint(2, 2)}) {
        EXPECT_EQ(qAlpha(shaped.pixel(corner)), 0) << corner.x() << "," << corner.y();
        EXPECT_FALSE(player->mask().contains(corner));
    }
    for (const QPoint inside : {QPoint(148, 73), QPoint(20, 1), QPoint(1, 73), QPoint(148, 145)}) {
        EXPECT_EQ(qAlpha(shaped.pixel(inside)), 255) << inside.x() << "," << inside.y();
        EXPECT_TRUE(player->mask().contains(inside));
    }
    // Every pixel of each skin is either the key colour (outside) or not blue at all.
    for (ColorStyle style : {ColorStyle::Blue, ColorStyle::Green, ColorStyle::Red}) {
        const QImage skin = DrawPlayerSkin(style);
        EXPECT_EQ(skin.pixel(0, 0), qRgb(0, 0, 255));
        EXPECT_NE(skin.pixel(148, 73), qRgb(0, 0, 255));
    }
}

TEST_F(PlayerTest, ColourStylesFollowTheirAccentEverywhereAndAreStored) {
    TFrmMain* player = startWith("");  // no "ColorStyle": red
    const struct {
        QAction* action;
        ColorStyle style;
        const char* name;
    } styles[] = {{player->mnBlue, ColorStyle::Blue, "蓝色"},
                  {player->mnGreen, ColorStyle::Green, "绿色"},
                  {player->mnRed, ColorStyle::Red, "红色"}};
    const core::TColor red = PlayerSliders::AccentOf(ColorStyle::Red);
    EXPECT_EQ(labelColour(player->plTimeBK), ToQColor(core::ScaleColor(red, 1.4)).rgb());
    EXPECT_EQ(player->btnColor->FaceColor(), red);
    for (const auto& s : styles) {
        s.action->trigger();
        const core::TColor accent = PlayerSliders::AccentOf(s.style);
        EXPECT_EQ(key("START", "ColorStyle"), core::Gbk(s.name));
        EXPECT_EQ(labelColour(player->plTimeBK), ToQColor(core::ScaleColor(accent, 1.4)).rgb());
        EXPECT_EQ(player->Shape1->penColour(), ToQColor(core::ScaleColor(accent, 0.5)));
        EXPECT_EQ(player->PB->BarColor1(), accent);
        EXPECT_EQ(player->PB->BarColor2(), core::MakeColor(192, 192, 192));
        EXPECT_EQ(player->PB->BarColor3(), accent);
        for (TMyRoundButton* b :
             {player->btnColor, player->btnPara, player->btnLoad, player->btnSave, player->btnSel,
              player->btnPlay, player->btnPause, player->btnStop}) {
            EXPECT_EQ(b->FaceColor(), accent);
        }
        for (TvelTracker* t : {player->tbVol, player->tbPan, player->tbTrs}) {
            EXPECT_EQ(t->ThumbColor(), accent);
            EXPECT_EQ(t->BackBitmap(), DrawSliderGrid(s.style));
        }
        EXPECT_EQ(schedule->accentColor(), accent);
        EXPECT_EQ(player->imgBK->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  DrawPlayerSkin(s.style));
    }
}

TEST_F(PlayerTest, TransparencyIsSharedWithTheScheduleWindowAndStored) {
    TFrmMain* player = startWith("[START]\r\ntbTrs=200\r\n");
    EXPECT_NEAR(player->windowOpacity(), 200 / 255.0, 0.01);
    EXPECT_EQ(player->tbTrs->Value(), 200);
    const struct {
        int value;
        qreal opacity;
    } cases[] = {{100, 160 / 255.0}, {254, 254 / 255.0}, {255, 1.0}};
    for (const auto& c : cases) {
        player->tbTrs->onChangedValue(player->tbTrs, c.value);
        EXPECT_NEAR(player->windowOpacity(), c.opacity, 0.01) << c.value;
        EXPECT_NEAR(schedule->windowOpacity(), c.opacity, 0.01) << c.value;
        EXPECT_NEAR(player->playerOpacity(), c.opacity, 0.01);
        EXPECT_EQ(key("START", "tbTrs"), std::to_string(c.value));
    }
}

TEST_F(PlayerTest, DraggingTheBackgroundMovesTheWindowAndDocksTheScheduleWindowOnRelease) {
    TFrmMain* player = startWith("[START]\r\nchkSure=NO\r\n[主窗口]\r\nLeft=100\r\nTop=50\r\n");
    schedule->show();
    ASSERT_EQ(player->pos(), QPoint(100, 50));
    const QPoint grab = player->mapToGlobal(QPoint(150, 70));  // on the skin, between the bars
    testing::pressAt(player->imgBK, grab);
    testing::moveAt(player->imgBK, grab + QPoint(30, 10));
    testing::moveAt(player->imgBK, grab + QPoint(45, 25));
    EXPECT_EQ(player->pos(), QPoint(145, 75));
    testing::releaseAt(player->imgBK, grab + QPoint(45, 25));
    EXPECT_EQ(schedule->pos(), QPoint(145, 75 + 147));
    EXPECT_EQ(player->playerFrame(), QRect(145, 75, 297, 147));
    // A press on the progress bar seeks; it does not drag.
    testing::pressAt(player->PB, player->PB->mapToGlobal(QPoint(5, 5)));
    testing::moveAt(player->PB, player->PB->mapToGlobal(QPoint(40, 5)));
    testing::releaseAt(player->PB, player->PB->mapToGlobal(QPoint(40, 5)));
    EXPECT_EQ(player->pos(), QPoint(145, 75));
    player->close();
    EXPECT_EQ(key("主窗口", "Left"), "145");
    EXPECT_EQ(key("主窗口", "Top"), "75");
}

TEST_F(PlayerTest, ButtonsReachTheScheduleWindowAndStoreItsVisibility) {
    TFrmMain* player = startWith("[START]\r\nPlayList=NO\r\n");
    EXPECT_FALSE(schedule->isVisible());
    player->btnShow->OnClick(player->btnShow);
    EXPECT_TRUE(schedule->isVisible());
    EXPECT_EQ(key("START", "PlayList"), "YES");
    player->btnShow->OnClick(player->btnShow);
    EXPECT_FALSE(schedule->isVisible());
    EXPECT_EQ(key("START", "PlayList"), "NO");
    EXPECT_FALSE(schedule->fileBarVisible());
    player->btnSel->OnClick(player->btnSel);
    EXPECT_TRUE(schedule->fileBarVisible());
    // Hints.
    EXPECT_EQ(player->btnPara->toolTip(), QStringLiteral("参数设置！"));
    EXPECT_EQ(player->btnSave->toolTip(), QStringLiteral("计算和保存当前节目表"));
    EXPECT_EQ(player->btnSel->toolTip(), QStringLiteral("打开/关闭节目表选择"));
    EXPECT_EQ(player->btnShow->toolTip(), QStringLiteral("播放列表"));
    EXPECT_EQ(player->tbVol->toolTip(), QStringLiteral("音量"));
    EXPECT_EQ(player->tbPan->toolTip(), QStringLiteral("平衡"));
    player->btnLoad->OnMouseEnter(player->btnLoad);
    EXPECT_EQ(player->btnLoad->toolTip(),
              QStringLiteral(" ！载入【今天】的播出节目表【节目表.JMB】"));
    EXPECT_EQ(player->btnLoad->toolTipDuration(), 10000);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(255, 255, 128));
}

TEST_F(PlayerTest, TheItemOnAirShowsInTheBarAndAClickOnTheBarSeeksIt) {
    // No fades and no loop: the item plays to its end on its own.
    TFrmMain* player = startWith("[START]\r\nspIN=0\r\nspOut=0\r\nspOver=0\r\nchkAllCycle=NO\r\n");
    writeTone(dir.file("tone.wav"), 10);
    core::Station& station = app->station();
    station.table().sgJM.setCell(1, 1, core::Gbk("晚风"));
    station.table().sgJM.setCell(8, 1, dir.file("tone.wav"));
    station.table().sgJM.setCurrentRow(1);
    station.items().btnPlayClick();
    core::TcbDSMixerChannel* channel = station.state().CurrentChannel;
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(player->PB->Caption(), QStringLiteral("晚风"));
    EXPECT_EQ(player->windowTitle(), QStringLiteral("晚风"));
    EXPECT_EQ(player->PB->Max(), 10000);
    EXPECT_EQ(player->plLength->text(), QStringLiteral("00:10"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->PB->Position() > 0; }, 2000));

    const int x = player->PB->width() * 3 / 4;
    testing::press(player->PB, {x, 5});
    testing::release(player->PB, {x, 5});
    const int target = x * 10000 / player->PB->width();
    EXPECT_GE(channel->Position(), target);
    EXPECT_LT(channel->Position(), target + 1000);
    EXPECT_EQ(channel->State(), core::ChannelState::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->PB->Position() >= target; }, 2000));
    const QString played = player->plPlayTimeOld->text();
    EXPECT_TRUE(played == "000:07" || played == "000:08" || played == "000:09")
        << played.toStdString();
}

TEST_F(PlayerTest, TheSaveButtonWritesTheScheduleWithItsBarAndTheResumeKeys) {
    TFrmMain* player = startWith("");
    player->btnSave->OnClick(player->btnSave);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "节目表.JMB"));
    EXPECT_FALSE(player->PB4->isVisible());
    EXPECT_EQ(player->PB4->Max(), 1);  // one empty data row
    EXPECT_EQ(key("START", "LastJMFile"), core::Utf8ToGbk(dir.file("节目表.JMB")));
    EXPECT_FALSE(key("START", "LastDate").empty());
    EXPECT_EQ(errors.reportCount(), 0);
    EXPECT_EQ(player->PB4->BarColorStyle(), cs2Colors);
    // The schedule window's saves show the bar while they run.
    core::ScheduleProgressView* bar = player->scheduleSaveBar();
    EXPECT_EQ(static_cast<TFrmPlayJM*>(app->windows().frmPlayJM)->saveProgress, bar);
    bar->beginProgress(4, core::Gbk("正在保存播出表."));
    EXPECT_TRUE(player->PB4->isVisible());
    EXPECT_EQ(player->PB4->Max(), 4);
    // Its text stands out from the black bar (inside the bevel).
    const QImage shown = player->PB4->grab().toImage();
    int bright = 0;
    for (int y = 3; y < shown.height() - 3; ++y)
        for (int x = 3; x < shown.width() - 3; ++x) bright += qGray(shown.pixel(x, y)) > 160;
    EXPECT_GT(bright, 20);
    bar->endProgress(core::Gbk("播出表保存完毕"));
    EXPECT_FALSE(player->PB4->isVisible());
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

TEST_F(PlayerTest, TheSaveButtonRedrawsTheScheduleGrid) {
    TFrmMain* player = startWith("");
    schedule->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(schedule));
    core::ScheduleTable& table = app->station().table();
    table.sgJM.setCell(core::kColStartTime, 1, "09:  :  ");  // half typed: the save erases it
    schedule->repaintSchedule();
    QTest::qWait(50);
    PaintCounter counter;
    schedule->sgJM()->viewport()->installEventFilter(&counter);
    player->btnSave->OnClick(player->btnSave);
    QTest::qWait(50);
    EXPECT_EQ(table.sgJM.cell(core::kColStartTime, 1), "");
    EXPECT_GT(counter.paints, 0);
}

TEST_F(PlayerTest, TheDigitalLabelsShowTheClockAndTheDimEights) {
    TFrmMain* player = startWith("");
    EXPECT_EQ(player->plTimeBK->text(), QStringLiteral("88:88:88"));
    EXPECT_EQ(player->plTimeBK->geometry(), player->plTime->geometry());
    EXPECT_EQ(player->plTime->font().family(), DigitalFontFamily({}, {}));
    EXPECT_EQ(DigitalFontFamily({}, {}), QString::fromLatin1(kFallbackDigitalFace));
    // The yellow, aqua and yellow of the settings' design colours.
    EXPECT_EQ(labelColour(player->plTime), qRgb(255, 255, 0));
    EXPECT_EQ(labelColour(player->plDate), qRgb(0, 255, 255));
    EXPECT_EQ(labelColour(player->plPlayTime), qRgb(255, 255, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !player->plTime->text().isEmpty(); }, 2500));
    EXPECT_EQ(player->plTime->text().size(), 8);
    EXPECT_EQ(player->plDate->text().size(), 8);
    EXPECT_EQ(labelColour(player->lbWeek), qRgb(0, 255, 255));
}

// Offscreen there is no tray: a minimised player could not be brought back, so it stays.
TEST_F(PlayerTest, WithoutATrayThePlayerIsNeverMinimised) {
    TFrmMain* player = startWith("[START]\r\nchkMin=YES\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !player->plTime->text().isEmpty(); }, 2500));
    EXPECT_FALSE(player->isMinimized());
    player->btnMin->OnClick(player->btnMin);
    EXPECT_FALSE(player->isMinimized());
    EXPECT_TRUE(player->isVisible());
}

TEST_F(PlayerTest, TheDateColourIsTheDateLabelsAlone) {
    TFrmMain* player = startWith("[START]\r\nplDTclR=255\r\nplDTclG=0\r\nplDTclB=0\r\n");
    EXPECT_EQ(labelColour(player->plDate), qRgb(255, 0, 0));
    EXPECT_EQ(labelColour(player->lbWeek), qRgb(0, 255, 255));
}

TEST_F(PlayerTest, MetersAndEnvelopesDrawTheirArithmetic) {
    TFrmMain* player = startWith("");
    player->setLevels(std::pow(0.5, 8), 1.0);
    EXPECT_EQ(player->pbarLeft->LeftPosition(), static_cast<float>(std::pow(0.5, 8)));
    EXPECT_GT(player->pbarRight->LitCount(0), player->pbarLeft->LitCount(0));
    EXPECT_EQ(player->pbarRight->LitCount(0), player->pbarRight->Scale().n);
    // Border of the envelope boxes in grey; an envelope column spans max..min of the bytes.
    const QImage box = player->paintboxLeft->grab().toImage();
    for (const QPoint p :
         {QPoint(0, 0), QPoint(71, 0), QPoint(71, 39), QPoint(0, 39), QPoint(36, 0)}) {
        EXPECT_EQ(box.pixel(p), qRgb(128, 128, 128));
    }
    EXPECT_EQ(EnvelopeSpan(255, 0, 40), std::make_pair(0, 39));
    EXPECT_EQ(EnvelopeSpan(128, 128, 40), std::make_pair(19, 19));
    EXPECT_EQ(EnvelopeSpan(200, 60, 40), std::make_pair(8, 30));
}

TEST_F(PlayerTest, CancellingTheExitConfirmationWritesNothingAndKeepsPlaying) {
    TFrmMain* player = startWith("[START]\r\nchkSure=YES\r\n");
    QString caption, text, cancelButton;
    const auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            cancelButton = box->button(QMessageBox::Cancel)->text();
            box->button(button)->click();
        });
    };
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(player->close());
    EXPECT_EQ(caption, QStringLiteral("确认退出"));
    EXPECT_EQ(text, QStringLiteral("退出播出系统，自动播出将停止！\n\r\n\r按“取消”按钮停止退出。"));
    // The button the text names reads the same: Qt's own texts are in Chinese too.
    EXPECT_EQ(cancelButton, QStringLiteral("取消"));
    EXPECT_TRUE(key("主窗口", "Left").empty());
    EXPECT_TRUE(player->isVisible());
    answer(QMessageBox::Ok);
    EXPECT_TRUE(player->close());
    EXPECT_EQ(key("主窗口", "Left"), "0");
    EXPECT_EQ(key("START", "LastJMPos"), "1");
}

}  // namespace
}  // namespace pelvano::gui
