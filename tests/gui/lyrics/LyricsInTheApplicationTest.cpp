// The lyrics windows in the application: the station's lyrics calls reach the display, the
// settings window's "歌词参数" opens the editor, and the playout hold of its edit mode outlasts
// the tag window and shows on the player.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "gui/app/StationApp.h"
#include "gui/app/UiErrors.h"
#include "gui/controls/MyProgressBarNew.h"
#include "gui/lyrics/FrmMusic.h"
#include "gui/lyrics/FrmMusicSet.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/FrmPara.h"
#include "support/TempDir.h"

namespace pelvano::gui {
namespace {

TEST(LyricsInTheApplication, TheDisplayIsAttachedAndTheSettingsButtonOpensTheEditor) {
    test::TempDir dir;
    UiErrors errors(false);
    StationAppOptions options;
    options.stationFolder = dir.path().string();
    options.executablePath = "/usr/bin/pelvano";
    ::setenv("PELVANO_OUTPUT", "null", 1);  // read once, when the application is made
    StationApp app(errors, options);
    ::unsetenv("PELVANO_OUTPUT");
    ASSERT_EQ(app.start(), 0);

    auto* display = dynamic_cast<TFrmMusic*>(app.windows().frmMusic);
    auto* editor = dynamic_cast<TFrmMusicSet*>(app.windows().frmMusicSet);
    auto* settings = dynamic_cast<TFrmPara*>(app.windows().frmPara);
    ASSERT_NE(display, nullptr);
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(app.context().lyrics.target(), display);
    EXPECT_FALSE(display->isVisible());  // "播放歌词" is off by default
    EXPECT_FALSE(editor->isVisible());
    settings->show();
    settings->btnMusic()->click();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(settings->isVisible());
    // Edit mode in the editor holds the station's playout, and the player says so.
    TMyProgressBarNew* bar = app.windows().frmMain->PB;
    const QString itemCaption = bar->Caption();
    QAbstractButton* editMode = editor->findChild<QAbstractButton*>("chkEditMusic");
    editMode->click();
    EXPECT_TRUE(app.station().state().PlayoutHold);
    EXPECT_TRUE(app.context().lyrics.chkEditMusic());
    EXPECT_TRUE(bar->Caption().startsWith(QStringLiteral("自动播出已暂停")))
        << bar->Caption().toStdString();

    // The tag window ("MP3歌词编辑") opened and closed leaves the editor's hold and its lines.
    dir.write("a.lrc", "[00:01.00]first\r\n[00:02.00]second\r\n");
    display->itemStarted(dir.file("a.wav"));
    // The lyrics are read on a worker: they show once the read returns.
    ASSERT_TRUE(QTest::qWaitFor([&] { return display->lyrics().table.lastDataRow() == 2; }, 3000));
    const auto openAndCloseTagWindow = [&] {
        QTimer::singleShot(0, app.windows().frmeditTag, &QWidget::close);
        settings->btnClose()->click();
    };
    openAndCloseTagWindow();
    EXPECT_TRUE(app.station().state().PlayoutHold);
    EXPECT_EQ(display->lyrics().table.lastDataRow(), 2);
    EXPECT_TRUE(bar->Caption().startsWith(QStringLiteral("自动播出已暂停")));
    editMode->click();
    EXPECT_FALSE(app.station().state().PlayoutHold);
    EXPECT_EQ(bar->Caption(), itemCaption);
    // Outside edit mode the stopped item's lyrics leave the display.
    openAndCloseTagWindow();
    EXPECT_EQ(display->lyrics().table.lastDataRow(), 1);
    EXPECT_TRUE(display->lyrics().rawLines.empty());
}

}  // namespace
}  // namespace pelvano::gui
