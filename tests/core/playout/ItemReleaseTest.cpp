#include <stdexcept>

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/ItemRelease.h"

namespace pelvano::test {
namespace {

class ItemReleaseTest : public StationFixture {};

TEST_F(ItemReleaseTest, TheItemIsStoppedAndClosedAndTheHoldEndsEvenWhenTheWorkFails) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    setKey("spOut", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    startStation();
    sim.advanceBy(1000);
    core::TcbDSMixerChannel* onAir = station->state().CurrentChannel;
    ASSERT_NE(onAir, nullptr);
    EXPECT_THROW(core::RunWithItemReleased(station->state(),
                                           [&] {
                                               EXPECT_TRUE(station->state().PlayoutHold);
                                               EXPECT_EQ(onAir->State(),
                                                         core::ChannelState::Stopped);
                                               EXPECT_TRUE(onAir->FileName().empty());
                                               throw std::runtime_error("tag window failed");
                                           }),
                 std::runtime_error);
    EXPECT_FALSE(station->state().PlayoutHold);
    sim.advanceBy(500);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 1);  // the scheduler moves on to the next row
}

}  // namespace
}  // namespace pelvano::test
