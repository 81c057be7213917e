#include <chrono>
#include <future>
#include <thread>

#include "StationFixture.h"
#include "core/app/AtomicFile.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/Station.h"
#include "core/playout/TAnalysis.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

class StationTest : public StationFixture {
  protected:
    // No end fade-outs: the default of 59 s would start one at once on these short items.
    void SetUp() override { setKey("spOut", "0"); }
};

TEST_F(StationTest, AStoredDeviceIndexThatSelectsNothingEndsTheStart) {
    writeSchedule({{""}});
    setKey("cbDevID", "7");
    startStation(core::StartupOutcome::InvalidDevice);
}

TEST_F(StationTest, AfterADeviceChangeTheHandlersStillRun) {
    addSound("a.wav", 3);
    addSound("b.wav", 30);
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    setKey("chkManOper", "NO");
    startStation();
    station->changeOutputDevice(1);
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "cbDevID"), "1");
    EXPECT_EQ(station->state().CurrentChannel, nullptr);
    station->items().StartSelectedRow();
    sim.advanceBy(4000);
    EXPECT_EQ(countOf("自然结束播放: a.wav"), 1);   // the natural end on a rebuilt channel
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 1);  // and the scheduler moved on
    sim.advanceBy(6000);
    EXPECT_EQ(countOf("淡入结束：b.wav"), 1);  // a fade end on a rebuilt channel
}

TEST_F(StationTest, ADeviceChangeEndsTheItemOnAirInTheAsRunFile) {
    addSound("a.wav", 30);
    writeSchedule({{"a.wav"}});
    startStation();
    sim.advanceBy(2000);
    station->changeOutputDevice(1);  // 1.1 s of waiting, then the channels are rebuilt
    sim.advanceBy(10000);
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    std::string asRun;
    ASSERT_TRUE(core::ReadFileBytes(
        paths.historyDir() + core::FormatDate(sim.clock().now(), true) + ".asrun.csv", asRun));
    // Ended as stopped at the change (3.1 s heard), not left open until the next start.
    EXPECT_NE(asRun.find("a.wav,,"), std::string::npos) << asRun;
    EXPECT_NE(asRun.find(",3.1,停止,"), std::string::npos) << asRun;
}

TEST_F(StationTest, StartUpRemovesWhatACrashedReplaceLeftInTheStationFolder) {
    writeSchedule({{""}});
    const std::string leftover =
        dir.write("参数设置.INI.tmp-2147483646-0", "half");  // no such process
    startStation();
    EXPECT_FALSE(std::filesystem::exists(leftover));
}

TEST_F(StationTest, CloseKeysAndTheMeasuringChannel) {
    addSound("a.wav", 61.5);
    writeSchedule({{"a.wav"}});
    setKey("chkManOper", "NO");
    startStation();
    station->table().PlayingRow = 1;
    station->playerLeft = 12;
    station->writeCloseKeys();
    EXPECT_EQ(core::IniRead(paths.settingsFile(), core::Gbk("主窗口"), "Left"), "12");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastJMPos"), "1");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "LastJMFile"),
              core::Utf8ToGbk(paths.applicationDir + "节目表.JMB"));
    EXPECT_EQ(station->measurer().measureMs(paths.applicationDir + "a.wav"), 61500);
    EXPECT_ANY_THROW(station->measurer().measureMs(paths.applicationDir + "none.wav"));
}

TEST_F(StationTest, ResumeKeysOfAStartQueueBehindTheDiskAndNeverOverwriteTheClose) {
    addSound("a.wav", 60);
    writeSchedule({{"a.wav"}, {"a.wav"}, {"a.wav"}});
    setKey("chkManOper", "NO");
    startStation();
    const std::string ini = paths.settingsFile();
    // A disk that holds the writes: the start's resume keys wait behind this one.
    std::promise<void> release;
    station->fileWrites().post("held", "", [held = release.get_future().share()](std::string*) {
        held.wait();
        return true;
    });
    station->table().sgJM.setCurrentRow(3);
    station->items().StartSelectedRow();
    EXPECT_EQ(core::IniRead(ini, "START", "LastJMPos"), "");
    // A slider moved meanwhile is stored at once, and the queued write keeps it.
    station->sliders().setVolume(-2000);
    EXPECT_EQ(core::IniRead(ini, "START", "tbVol"), "-2000");
    station->table().PlayingRow = 2;
    station->playerLeft = 7;
    std::thread disk([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release.set_value();
    });
    station->writeCloseKeys();
    disk.join();
    // Whatever is still queued lands before the exit: none of it may be older than the close.
    ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    EXPECT_EQ(core::IniRead(ini, "START", "LastJMPos"), "2");
    EXPECT_EQ(core::IniRead(ini, "START", "tbVol"), "-2000");
    EXPECT_EQ(core::IniRead(ini, core::Gbk("主窗口"), "Left"), "7");
}

TEST_F(StationTest, SlidersStoreAndApplyTheirValues) {
    addSound("a.wav", 60);
    setKey("spIN", "5");
    writeSchedule({{"a.wav", "", "", "0"}});
    startStation();
    core::TcbDSMixerChannel& ch = *station->state().CurrentChannel;
    station->sliders().setVolume(-2000);
    sim.advanceBy(2500);
    EXPECT_NEAR(ch.Volume(), -1000, 60);  // a ramp over the default fade-in time
    sim.advanceBy(3000);
    EXPECT_EQ(ch.Volume(), -2000);
    station->sliders().setPan(-10000);
    EXPECT_EQ(ch.Pan(), -10000);
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "tbVol"), "-2000");
    EXPECT_EQ(core::IniRead(paths.settingsFile(), "START", "tbPan"), "-10000");
    station->items().btnPauseClick();
    sim.advanceBy(1500);
    station->sliders().setVolume(-100);  // paused: set at once
    EXPECT_EQ(ch.Volume(), -100);
    EXPECT_EQ(station->sliders().colorStyle(), core::ColorStyle::Red);  // no "ColorStyle": red
}

struct TranslucencyView : core::PlayerView {
    bool on = true;
    int opacity = 0;
    void setTranslucency(bool enabled, int value) override {
        on = enabled;
        opacity = value;
    }
};

TEST(PlayerSliders, Transparency) {
    TempDir dir;
    core::StationSettings settings(dir.file("s.ini"), nullptr, "");
    core::PlayoutState state;
    TranslucencyView view;
    core::PlayerSliders sliders(settings, state, view);
    sliders.setTransparency(100);
    EXPECT_TRUE(view.on);
    EXPECT_EQ(view.opacity, 160);
    sliders.setTransparency(254);
    EXPECT_EQ(view.opacity, 254);
    sliders.setTransparency(255);
    EXPECT_FALSE(view.on);
    sliders.setColorStyle(core::ColorStyle::Blue);
    EXPECT_EQ(core::GbkToUtf8(core::IniRead(dir.file("s.ini"), "START", "ColorStyle")), "蓝色");
    EXPECT_EQ(core::PlayerSliders::AccentOf(core::ColorStyle::Green), core::MakeColor(59, 136, 74));
}

TEST_F(StationTest, LevelsFollowWhatIsAboutToBeHeard) {
    addSound("loud.wav", 30, 0.9, 1000);
    writeSchedule({{"loud.wav", "", "", "0"}});
    startStation();
    sim.advanceBy(500);
    const core::TAnalysis* analysis = station->meters().analysis();
    ASSERT_NE(analysis, nullptr);
    EXPECT_EQ(analysis->channelCount(), 2);
    EXPECT_EQ(analysis->framesPerColumn(), 2205 / 72);
    // A 0.9 sine: the top byte swings to about ±115 around 128, so the peak level is about 0.95.
    EXPECT_NEAR(analysis->level(0), std::sqrt(115.0 / 128), 0.03);
    EXPECT_GT(analysis->columnMax(0, 0), 200);
    EXPECT_LT(analysis->columnMin(0, 0), 56);
}

}  // namespace
}  // namespace pelvano::test
