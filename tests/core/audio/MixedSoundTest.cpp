// Listens to what the mixer puts out: fade curves, cross-fades, pan and resampling.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineFixture.h"

namespace pelvano::test {
namespace {

class MixedSoundTest : public EngineFixture {};

TEST_F(MixedSoundTest, FadesFollowAStraightLineInDecibels) {
    auto& ch = channelWith("tone.wav", test::ToneSpec{2, 44100, 16, 44100 * 20, 1000.0, 0.5});
    ch.SetVolume(-3400);
    ch.Play();
    ch.Fade(5000, 0);
    sim.advanceBy(6000);
    ch.Fade(4000, -3900);
    sim.advanceBy(5000);
    const double full = SineDb(0.5);
    for (int t : {250, 1000, 2020, 3500, 4900}) {
        const double expected = full - 34.0 * (1.0 - t / 5000.0);
        EXPECT_NEAR(levelDb(t - 5, 10), expected, 0.5) << "fade-in at " << t << " ms";
    }
    EXPECT_NEAR(levelDb(5500, 400), full, 0.05);
    for (int t : {6500, 8000, 9800}) {
        const double expected = full - 39.0 * ((t - 6000) / 4000.0);
        EXPECT_NEAR(levelDb(t - 5, 10), expected, 0.5) << "fade-out at " << t << " ms";
    }
    EXPECT_NEAR(levelDb(10200, 500), full - 39.0, 0.05);
}

TEST_F(MixedSoundTest, ACrossFadeSumsBothChannels) {
    // Tones of different pitch, so that their powers add over whole periods.
    auto& out = channelWith("out.wav", test::ToneSpec{2, 44100, 16, 44100 * 20, 441.0, 0.4});
    auto& in = channelWith("in.wav", test::ToneSpec{2, 44100, 16, 44100 * 20, 1102.5, 0.4});
    out.Play();
    sim.advanceBy(1000);
    in.SetVolume(-3400);
    in.Play();
    in.Fade(4000, 0);
    out.Fade(4000, -3900);
    sim.advanceBy(5000);
    for (int t : {1500, 2500, 3000, 4000, 4800}) {
        const double progress = (t - 1000) / 4000.0;
        const double inGain = std::pow(10.0, -34.0 * (1.0 - progress) / 20.0);
        const double outGain = std::pow(10.0, -39.0 * progress / 20.0);
        const double power = 0.08 * (inGain * inGain + outGain * outGain);  // 0.4² / 2 each
        EXPECT_NEAR(levelDb(t - 50, 100), 10.0 * std::log10(power), 0.5) << "at " << t << " ms";
    }
}

TEST_F(MixedSoundTest, PanAttenuatesTheOppositeSide) {
    auto& ch = channelWith("tone.wav", test::ToneSpec{1, 44100, 16, 44100 * 5, 1000.0, 0.5});
    ch.SetPan(-2000);  // left: the right side loses 20 dB
    ch.Play();
    sim.advanceBy(1000);
    EXPECT_NEAR(levelDb(200, 500, 0), SineDb(0.5), 0.05);
    EXPECT_NEAR(levelDb(200, 500, 1), SineDb(0.5) - 20.0, 0.05);
    ch.SetPan(10000);
    ch.SetVolume(-600);
    sim.advanceBy(1000);
    EXPECT_LT(levelDb(1200, 500, 0), -99.0);
    EXPECT_NEAR(levelDb(1200, 500, 1), SineDb(0.5) - 6.0, 0.05);
}

TEST_F(MixedSoundTest, OtherRatesAreResampledToTheDeviceRate) {
    auto& ch = channelWith("low.wav", test::ToneSpec{1, 22050, 16, 22050 * 3, 500.0, 0.5});
    ch.Play();
    sim.advanceBy(2000);
    EXPECT_EQ(ch.Position(), 2000);
    EXPECT_NEAR(levelDb(100, 1000), SineDb(0.5), 0.1);
    // Zero crossings of a 500 Hz tone: 1000 a second whatever the file's rate.
    int crossings = 0;
    for (std::size_t i = 44100 / 10; i < 44100 / 10 + 44100; ++i) {
        if ((heard.sample(i - 1, 0) < 0) != (heard.sample(i, 0) < 0)) ++crossings;
    }
    EXPECT_NEAR(crossings, 1000, 2);
}

TEST_F(MixedSoundTest, TheSumIsClippedOnceAtFullScale) {
    auto& a = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 2, 0.0, 0.8});
    auto& b = channelWith("b.wav", test::ToneSpec{2, 44100, 16, 44100 * 2, 0.0, 0.8});
    a.Play();
    b.Play();
    sim.advanceBy(500);
    EXPECT_FLOAT_EQ(heard.sample(4410, 0), 1.0f);
    b.SetVolume(-10000);
    sim.advanceBy(500);
    EXPECT_NEAR(heard.sample(30000, 0), 0.8, 0.001);
}

}  // namespace
}  // namespace pelvano::test
