#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "core/audio/TcbDSMixer.h"

namespace pelvano::test {
namespace {

class MixerTest : public EngineFixture {};

TEST_F(MixerTest, DeviceIndexOutsideTheListIsIgnored) {
    EXPECT_EQ(mixer->DeviceCount(), 2);
    mixer->SetDeviceIndex(1);
    mixer->SetDeviceIndex(-1);
    EXPECT_EQ(mixer->DeviceIndex(), 1);
    mixer->SetDeviceIndex(2);
    EXPECT_EQ(mixer->DeviceIndex(), 1);
    EXPECT_FALSE(mixer->GetDeviceName(0).empty());
    EXPECT_THROW(mixer->GetDeviceName(2), std::out_of_range);
}

TEST_F(MixerTest, FrequencyIsClampedAndTheDeviceOpensLazily) {
    mixer->SetFrequency(50);
    EXPECT_EQ(mixer->Frequency(), 100);
    mixer->SetFrequency(200000);
    EXPECT_EQ(mixer->Frequency(), 100000);
    mixer->SetFrequency(48000);
    auto& ch = channelWith("a.wav", test::ToneSpec{});
    EXPECT_FALSE(mixer->IsOpen()) << "opening a file needs no device";
    ch.Play();
    EXPECT_TRUE(mixer->IsOpen());
    EXPECT_EQ(mixer->Frequency(), 44100) << "the rate the device accepted";
}

TEST_F(MixerTest, CloseStopsEveryChannelAndPlayReopens) {
    auto& a = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 10});
    auto& b = channelWith("b.wav", test::ToneSpec{2, 44100, 16, 44100 * 10});
    a.Play();
    b.Play();
    sim.advanceBy(500);
    mixer->Close();
    EXPECT_EQ(a.State(), core::ChannelState::Stopped);
    EXPECT_EQ(b.State(), core::ChannelState::Stopped);
    EXPECT_FALSE(mixer->IsOpen());
    a.Play();
    sim.advanceBy(500);
    EXPECT_EQ(a.Position(), 500);
}

TEST_F(MixerTest, ALostDeviceIsReportedOnceAndPlayoutGoesOn) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 10});
    std::vector<std::string> reports;
    mixer->OnDeviceLost = [&](const std::string& reason) { reports.push_back(reason); };
    ch.Play();
    sim.advanceBy(500);
    sim.output().loseDevice();
    sim.output().loseDevice();
    sim.advanceBy(500);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(sim.events().silentAborts(), 1);
    EXPECT_EQ(ch.Position(), 1000);
}

TEST_F(MixerTest, DestroyingTheMixerFreesItsChannels) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 10});
    bool ended = false;
    ch.OnEnd = [&](core::TcbDSMixerChannel&) { ended = true; };
    ch.Play();
    sim.advanceBy(100);
    mixer.reset();
    sim.advanceBy(11000);
    EXPECT_FALSE(ended);
}

}  // namespace
}  // namespace pelvano::test
