// The application on the Qt ports: the windows around a real station on the null output, the
// scheduler ticking through errors, the keys of a close and the start-up refusals.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "gui/app/AppFixture.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/StreamSettingsPage.h"

namespace pelvano::gui {
namespace {

// A lyrics window whose edit-mode check throws: the scheduler asks it on every tick.
class ThrowingLyrics final : public core::LyricsHooks {
  public:
    bool chkEditMusic() const override {
        ++asked;
        throw std::runtime_error("lyrics window failed");
    }
    mutable int asked = 0;
};

using testing::AppFixture;

TEST_F(AppFixture, AThrowingHandlerShowsItsTextAndTheSchedulerKeepsTicking) {
    auto app = makeApp();
    ThrowingLyrics lyrics;
    ASSERT_EQ(app->start(), 0);
    app->context().lyrics.attach(&lyrics);  // in place of the lyrics window
    EXPECT_TRUE(QTest::qWaitFor([&] { return lyrics.asked >= 4; }, 3000));
    EXPECT_TRUE(errors.boxText().startsWith(QStringLiteral("lyrics window failed (\u00d7")));
    // The error went to the play-process log too.
    std::ifstream day(app->station().log().dayFile(), std::ios::binary);
    const std::string logged((std::istreambuf_iterator<char>(day)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find(": lyrics window failed\r\n"), std::string::npos);
    app->context().lyrics.attach(nullptr);
}

TEST_F(AppFixture, TheSettingsWindowsStreamPageStartsTheStreamOfTheRunningStation) {
    // A port nobody listens on: the stream's attempt shows in the play-process log.
    core::IniWriteMany(dir.file("参数设置.INI"), "Stream", {{"Port", "1"}});
    auto app = makeApp();
    ASSERT_EQ(app->start(), 0);
    const auto logged = [&](const std::string& text) {
        for (const std::string& line : app->station().logWindow().lines())
            if (core::GbkToUtf8(line).find(text) != std::string::npos) return true;
        return false;
    };
    QTest::qWait(200);
    EXPECT_FALSE(logged("网络直播")) << "the stream started while [Stream] is off";
    static_cast<TFrmPara*>(app->windows().frmPara)->streamPage()->chkEnabled()->click();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return logged("网络直播无法连接：127.0.0.1:1/pelvano.mp3"); }, 3000));
}

TEST_F(AppFixture, ClosingThePlayerWritesThePositionAndResumeKeys) {
    dir.write("参数设置.INI",
              core::Gbk("[START]\r\nchkSure=NO\r\n[主窗口]\r\nLeft=40\r\nTop=30\r\n"));
    auto app = makeApp();
    ASSERT_EQ(app->start(), 0);
    TFrmMain* player = app->windows().frmMain;
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->pos(), QPoint(40, 30));
    EXPECT_EQ(player->size(), QSize(297, 147));
    player->move(120, 90);
    EXPECT_TRUE(player->close());
    const std::string ini = dir.file("参数设置.INI");
    EXPECT_EQ(core::IniRead(ini, core::Gbk("主窗口"), "Left"), "120");
    EXPECT_EQ(core::IniRead(ini, core::Gbk("主窗口"), "Top"), "90");
    EXPECT_EQ(core::IniRead(ini, "START", "LastJMPos"), "1");
    EXPECT_FALSE(core::IniRead(ini, "START", "LastDate").empty());
}

TEST_F(AppFixture, NoOutputDeviceShowsTheMessageAndEnds) {
    ::setenv("PELVANO_OUTPUT", "portaudio", 1);
    std::vector<QString> messages;
    auto app = makeApp(&messages);
    const int status = app->start();
    if (status == 0) GTEST_SKIP() << "this machine has a sound device";
    EXPECT_EQ(status, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("没有检查到播出设备！"));
}

TEST_F(AppFixture, AStoredDeviceIndexThatSelectsNothingEndsSilently) {
    dir.write("参数设置.INI", "[START]\r\ncbDevID=7\r\n");
    std::vector<QString> messages;
    auto app = makeApp(&messages);
    EXPECT_EQ(app->start(), 1);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace pelvano::gui
