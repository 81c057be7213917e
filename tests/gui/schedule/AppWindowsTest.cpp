// The three windows inside the real application on the null output, in real time: docked
// under the player, and the output device changed from the settings window while an item plays.
#include <QComboBox>
#include <QTest>
#include <cstdint>
#include <fstream>

#include "core/app/IniFile.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/schedule/ScheduleFile.h"
#include "gui/app/AppFixture.h"
#include "gui/playout/FrmHis.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/FrmPlayJM.h"

namespace pelvano::gui {
namespace {

// A quiet 16-bit stereo 44100 Hz WAV file of the given length.
void writeQuietWav(const std::string& path, int seconds) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(seconds) * 44100 * 4;
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    const std::string second(44100 * 4, '\0');
    for (int s = 0; s < seconds; ++s)
        out.write(second.data(), static_cast<std::streamsize>(second.size()));
}

using testing::AppFixture;

TEST_F(AppFixture, TheWindowsDockAndAChangedDeviceKeepsTheStationRunning) {
    writeQuietWav(dir.file("a.wav"), 20);
    writeQuietWav(dir.file("b.wav"), 20);
    core::Grid grid(core::kScheduleColumns, 3);
    grid.setCell(core::kColFile, 1, "a.wav");
    grid.setCell(core::kColFile, 2, "b.wav");
    core::SaveSchedule(dir.file("节目表.JMB"), grid, {});
    core::IniWriteMany(dir.file("参数设置.INI"), "START",
                       {{"chkSure", "NO"}, {"spOut", "0"}, {"spIN", "0"}});

    auto app = makeApp();
    ASSERT_EQ(app->start(), 0);
    auto* schedule = dynamic_cast<TFrmPlayJM*>(app->windows().frmPlayJM);
    auto* para = dynamic_cast<TFrmPara*>(app->windows().frmPara);
    ASSERT_NE(schedule, nullptr);
    ASSERT_NE(para, nullptr);
    ASSERT_NE(dynamic_cast<TFrmHis*>(app->windows().frmHis), nullptr);
    core::Station& station = app->station();
    EXPECT_TRUE(QTest::qWaitFor([&] { return station.state().CurrentChannel != nullptr; }, 3000));

    // Docked under the player within a docking period.
    TFrmMain* player = app->windows().frmMain;
    EXPECT_TRUE(QTest::qWaitFor([&] { return schedule->isVisible(); }, 1000));
    player->move(50, 40);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return schedule->pos() == QPoint(50, 40 + player->height()); }, 1000));

    para->show();  // reads the device list of the running station
    ASSERT_GE(para->cbDevID()->count(), 2);
    para->cbDevID()->setCurrentIndex(1);
    para->cbDevIDChange(1);
    EXPECT_EQ(core::IniRead(dir.file("参数设置.INI"), "START", "cbDevID"), "1");
    EXPECT_EQ(station.state().CurrentChannel, nullptr);  // everything stopped, as the hint says
    station.items().btnPlayClick();                      // the operator starts again by hand
    // The file is opened on a worker: the item goes on air once it is open.
    ASSERT_TRUE(QTest::qWaitFor([&] { return station.state().CurrentChannel != nullptr; }, 3000));
    const int before = station.state().CurrentChannel->Position();
    QTest::qWait(600);
    EXPECT_EQ(station.state().CurrentChannel->State(), core::ChannelState::Playing);
    EXPECT_GT(station.state().CurrentChannel->Position(), before + 300);
}

}  // namespace
}  // namespace pelvano::gui
