#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/app/IniFile.h"
#include "core/loudness/CueFinder.h"
#include "core/loudness/CueLevel.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

constexpr int kRate = 48000;

// Stereo frames: silence, a tone at `dbfs` RMS on the right channel only, silence.
std::vector<float> Framed(double silentBefore, double sound, double silentAfter, double dbfs) {
    const auto before = static_cast<std::size_t>(silentBefore * kRate);
    const auto loud = static_cast<std::size_t>(sound * kRate);
    const auto after = static_cast<std::size_t>(silentAfter * kRate);
    std::vector<float> frames(2 * (before + loud + after), 0.0f);
    const double amplitude = std::sqrt(2.0) * std::pow(10.0, dbfs / 20.0);
    for (std::size_t f = 0; f < loud; ++f)
        frames[2 * (before + f) + 1] = static_cast<float>(amplitude * std::sin(f * 0.3));
    return frames;
}

TEST(CueFinder, FindsTheEdgesOfTheSoundOnAnyChannelWhateverTheBlocksItComesIn) {
    const std::vector<float> frames = Framed(2.0, 5.0, 1.5, -30.0);
    core::CueFinder whole(2, kRate, -45.0);
    whole.add(frames.data(), frames.size() / 2);
    EXPECT_NEAR(whole.cueIn(), 2.0, 0.011);
    EXPECT_NEAR(whole.cueOut(), 7.0, 0.011);

    core::CueFinder pieces(2, kRate, -45.0);
    for (std::size_t f = 0; f < frames.size() / 2; f += 777)
        pieces.add(frames.data() + 2 * f, std::min<std::size_t>(777, frames.size() / 2 - f));
    EXPECT_DOUBLE_EQ(pieces.cueIn(), whole.cueIn());
    EXPECT_DOUBLE_EQ(pieces.cueOut(), whole.cueOut());
}

TEST(CueFinder, SoundUpToTheLastFrameEndsAtTheLastFrameAndQuietSoundDoesNotCount) {
    // 1.005 s: the last window is half full and loud.
    const std::vector<float> toTheEnd = Framed(0.0, 1.005, 0.0, -20.0);
    core::CueFinder loud(2, kRate, -45.0);
    loud.add(toTheEnd.data(), toTheEnd.size() / 2);
    EXPECT_DOUBLE_EQ(loud.cueIn(), 0.0);
    EXPECT_NEAR(loud.cueOut(), 1.005, 1.0 / kRate);

    const std::vector<float> hiss = Framed(1.0, 3.0, 1.0, -50.0);
    core::CueFinder quiet(2, kRate, -45.0);
    quiet.add(hiss.data(), hiss.size() / 2);
    EXPECT_DOUBLE_EQ(quiet.cueIn(), 0.0);
    EXPECT_DOUBLE_EQ(quiet.cueOut(), 0.0);
    core::CueFinder lower(2, kRate, -55.0);
    lower.add(hiss.data(), hiss.size() / 2);
    EXPECT_NEAR(lower.cueIn(), 1.0, 0.011);
    EXPECT_NEAR(lower.cueOut(), 4.0, 0.011);
}

TEST(CueLevel, ReadsTheKeyAndFallsBackOnAnythingThatIsNotALevelBelowFullScale) {
    TempDir dir;
    const std::string ini = dir.file("settings.ini");
    EXPECT_DOUBLE_EQ(core::ReadCueLevel(ini), core::kDefaultCueLevelDbfs);
    for (const auto& [text, level] : std::vector<std::pair<std::string, double>>{
             {"-50", -50.0}, {" -38.5 ", -38.5}, {"0", -45.0}, {"12", -45.0}, {"loud", -45.0},
             {"-40dB", -45.0}, {"nan", -45.0}, {"-inf", -45.0}}) {
        core::IniWrite(ini, "Linux", "CueLevel", text);
        EXPECT_DOUBLE_EQ(core::ReadCueLevel(ini), level) << text;
    }
}

}  // namespace
}  // namespace pelvano::test
