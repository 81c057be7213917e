// Files opened ahead on workers: a start waits for nobody, a file that does not open in time
// fails its row once and the station goes on.
#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "support/ManualWork.h"

namespace pelvano::test {
namespace {

class OpenAheadTest : public StationFixture {
  protected:
    OpenAheadTest() {
        work = &manual;
        setKey("chkManOper", "NO");
        setKey("spIN", "0");
        setKey("spOut", "0");
        setKey("spOver", "1");
    }
    // The station, and the operator's start of its first row.
    void startFirstRow() {
        startStation();
        station->settings().setFlag(core::SettingFlag::chkManOper, true);
        station->items().btnPlayClick();
    }
    ManualWork manual;
};

TEST_F(OpenAheadTest, AStartWhoseFileIsNotOpenYetIsShownAtOnceAndSoundsWhenReady) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    writeSchedule({{"a.wav"}, {"b.wav"}});
    startFirstRow();
    EXPECT_EQ(countOf("开始准备播放:<a.wav>【节目:1】"), 1) << "shown at once";
    EXPECT_EQ(countOf("播放成功"), 0);
    sim.advanceBy(500);
    EXPECT_EQ(station->state().CurrentChannel, nullptr);
    EXPECT_EQ(countOf("开始准备播放"), 1) << "the scheduler hands over to no other row meanwhile";
    const double readyMs = static_cast<double>(sim.nowMs());
    manual.finishNext();
    sim.advanceBy(200);
    EXPECT_EQ(countOf("播放成功无淡入: <a.wav>"), 1);
    EXPECT_NEAR(firstSoundMs(0), readyMs, 50) << "it sounds as soon as the file is open";
    // The next row is asked for as soon as a row is on air.
    EXPECT_EQ(station->preparer().state("b.wav"), core::ItemPreparer::State::Pending);
}

TEST_F(OpenAheadTest, ATimedRowIsOpenedAheadAndArmedWithoutWaitingForAnyOpen) {
    addSound("a.wav", 60, 0.1);
    addSound("t.wav", 30, 0.5);
    writeSchedule({{"a.wav"}, {"t.wav", "08:00:20"}});
    startFirstRow();
    manual.finishNext();
    runUntilTime(8, 0, 4);
    EXPECT_EQ(station->preparer().state("t.wav"), core::ItemPreparer::State::Absent);
    runUntilTime(8, 0, 6);
    EXPECT_EQ(station->preparer().state("t.wav"), core::ItemPreparer::State::Pending)
        << "asked for 15 s before its second";
    manual.finishAll();
    runUntilTime(8, 0, 21);
    EXPECT_EQ(timeOf("播放成功无淡入: <t.wav>").substr(0, 8), "08:00:20");
    // Its first sample on its second: 30 s after the simulation began.
    EXPECT_NEAR(firstSoundMs(29'900, 0.3), 30'000, 1);
}

TEST_F(OpenAheadTest, AnOpenThatTimesOutFailsItsRowOnceAndTheNextRowPlays) {
    addSound("a.wav", 10);
    addSound("fifo.mp3", 10);
    addSound("c.wav", 30);
    writeSchedule({{"a.wav"}, {"fifo.mp3"}, {"c.wav"}});
    startFirstRow();
    manual.finishNext();  // a.wav
    sim.advanceBy(200);
    manual.timeOutNext();  // fifo.mp3, asked for while a.wav plays, never answers
    runUntilTime(8, 0, 8);
    EXPECT_EQ(countOf("打开文件超时[序号2],fifo.mp3"), 1);
    EXPECT_EQ(countOf("播放失败"), 0) << "the time-out is the row's one line";
    EXPECT_TRUE(station->state().Unplayable.contains(2));
    sim.advanceBy(200);
    manual.finishAll();  // c.wav
    sim.advanceBy(200);
    EXPECT_EQ(countOf("播放成功无淡入: <c.wav>"), 1);
    EXPECT_EQ(sim.events().errorCount(), 0u) << "a time-out is no error box";
}

}  // namespace
}  // namespace pelvano::test
