#include <stdexcept>
#include <vector>

#include "StationFixture.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/ItemRelease.h"

namespace pelvano::test {
namespace {

class ItemReleaseTest : public StationFixture {};

// What the player is told of the hold.
struct HoldSign : core::PlayerView {
    void showPlayoutHold(unsigned owners) override { shown.push_back(owners); }
    std::vector<unsigned> shown;
};

TEST_F(ItemReleaseTest, TheItemIsStoppedAndClosedAndTheHoldEndsEvenWhenTheWorkFails) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    setKey("spOut", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    startStation();
    sim.advanceBy(1000);
    core::TcbDSMixerChannel* onAir = station->state().CurrentChannel;
    ASSERT_NE(onAir, nullptr);
    EXPECT_THROW(core::RunWithItemReleased(station->state(), station->view(),
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

TEST_F(ItemReleaseTest, TheHoldEndsOnlyWhenNeitherTheLyricsEditorNorTheTagWindowHoldsIt) {
    addSound("a.wav", 30);
    addSound("b.wav", 30);
    setKey("spOut", "0");
    writeSchedule({{"a.wav", "", "", "0", "0"}, {"b.wav"}});
    HoldSign sign;
    startStation(core::StartupOutcome::Running, &sign);
    sim.advanceBy(1000);
    core::PlayoutState& state = station->state();
    core::SetPlayoutHold(state, sign, core::kHoldByLyricsEditor, true);
    core::RunWithItemReleased(state, sign, [&] {
        EXPECT_EQ(state.PlayoutHoldOwners, core::kHoldByLyricsEditor | core::kHoldByTagWindow);
    });
    EXPECT_TRUE(state.PlayoutHold);  // the editor still holds it: the closed tag window does not
    sim.advanceBy(3000);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 0);
    core::SetPlayoutHold(state, sign, core::kHoldByLyricsEditor, true);  // again: no change
    core::SetPlayoutHold(state, sign, core::kHoldByLyricsEditor, false);
    EXPECT_FALSE(state.PlayoutHold);
    sim.advanceBy(500);
    EXPECT_EQ(countOf("开始准备播放:<b.wav>"), 1);
    // Every change and only the changes reach the player.
    const std::vector<unsigned> expected{core::kHoldByLyricsEditor,
                                         core::kHoldByLyricsEditor | core::kHoldByTagWindow,
                                         core::kHoldByLyricsEditor, 0u};
    EXPECT_EQ(sign.shown, expected);
}

}  // namespace
}  // namespace pelvano::test
