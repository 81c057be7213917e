// The lyrics windows in the application: the station's lyrics calls reach the display, and the
// settings window's "歌词参数" opens the editor.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdlib>

#include "gui/app/StationApp.h"
#include "gui/app/UiErrors.h"
#include "gui/lyrics/FrmMusic.h"
#include "gui/lyrics/FrmMusicSet.h"
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
    // Edit mode in the editor holds the station's playout.
    editor->findChild<QAbstractButton*>("chkEditMusic")->click();
    EXPECT_TRUE(app.station().state().PlayoutHold);
    EXPECT_TRUE(app.context().lyrics.chkEditMusic());
}

}  // namespace
}  // namespace pelvano::gui
