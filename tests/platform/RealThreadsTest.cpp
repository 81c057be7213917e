// The engine as production runs it: a refill thread per channel, the audio pulled from another
// thread, operations and meter reads from the "UI" thread meanwhile. Its value is under the
// thread sanitizer; in a plain build it checks that the threads deliver the end event.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AudioFiles.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/PacedOutput.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

TEST(RealThreads, TwoChannelsRefillOnTheirOwnThreadsAndTheEndReachesTheUiThread) {
    TempDir dir;
    platform::PacedOutput output("null", nullptr);
    platform::SystemClock clock;
    platform::ManualEventQueue events;
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer({&output, &decoder, &clock, &events, nullptr});
    auto& shortOne = mixer.AddChannel();
    auto& longOne = mixer.AddChannel();
    const auto uiThread = std::this_thread::get_id();
    bool ended = false;
    shortOne.OnEnd = [&](core::TcbDSMixerChannel&) {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        ended = true;
    };
    shortOne.SetFileName(dir.write("short.wav", WavFile({}, Ramp16(2, 44100 / 2))));
    longOne.SetFileName(dir.write("long.wav", WavFile({1, 1, 22050, 16}, Ramp16(1, 22050 * 5))));
    longOne.Play();
    shortOne.Play();
    longOne.Fade(400, -2000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::uint64_t bytesSeen = 0;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        core::DataAhead ahead;
        longOne.GetDataAhead(0, 4096, ahead);
        for (std::uint32_t i = 0; i < ahead.length1; ++i) bytesSeen += ahead.data1[i] != 0xFF;
        longOne.ReleaseDataAhead();
        (void)longOne.Position();
        events.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(ended);
    EXPECT_GT(bytesSeen, 0u);
    EXPECT_EQ(longOne.State(), core::ChannelState::Playing);
    EXPECT_TRUE(events.errors().empty());
}

}  // namespace
}  // namespace pelvano::test
