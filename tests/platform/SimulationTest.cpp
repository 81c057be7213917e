// The virtual world the station's tests run in: timers, stepping order, determinism.
#include <gtest/gtest.h>

#include "AudioFiles.h"
#include "core/app/SilentAbort.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/MemoryCapture.h"
#include "platform/virtual/Simulation.h"
#include "support/TempDir.h"

namespace pelvano::test {
namespace {

const core::LocalDateTime kMorning{2026, 12, 7, 23, 59, 59, 500};

TEST(Simulation, TimersFireOnTheirTicksInOrderAndTheClockShowsTheTick) {
    platform::Simulation sim(kMorning);
    std::vector<std::string> fired;
    auto fast = sim.timers().createTimer();
    auto slow = sim.timers().createTimer();
    fast->setInterval(100);
    fast->setOnTimer([&] { fired.push_back("fast@" + std::to_string(sim.nowMs())); });
    slow->setInterval(200);
    slow->setOnTimer([&] { fired.push_back("slow@" + std::to_string(sim.nowMs())); });
    slow->setEnabled(true);
    fast->setEnabled(true);
    sim.advanceBy(400);
    // Ties go in creation order.
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@100", "fast@200", "slow@200", "fast@300",
                                               "fast@400", "slow@400"}));
    EXPECT_EQ(sim.clock().now(), (core::LocalDateTime{2026, 12, 7, 23, 59, 59, 900}));
    slow->setEnabled(false);
    sim.advanceBy(50);
    fast->setEnabled(false);
    fast->setEnabled(true);  // re-enabling counts from now: next tick at 550
    fired.clear();
    sim.advanceBy(110);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@550"}));
    EXPECT_EQ(sim.clock().now(), (core::LocalDateTime{2026, 12, 8, 0, 0, 0, 60}));
}

TEST(Simulation, ErrorsOfHandlersAreKeptLikeTheUiLoopShowsThem) {
    platform::Simulation sim(kMorning);
    auto timer = sim.timers().createTimer();
    timer->setInterval(10);
    timer->setOnTimer([] { throw std::runtime_error("tick failed"); });
    timer->setEnabled(true);
    sim.events().post([] { throw core::SilentAbort(); });
    sim.advanceBy(25);
    EXPECT_EQ(sim.events().errors(), (std::vector<std::string>{"tick failed", "tick failed"}));
    EXPECT_EQ(sim.events().silentAborts(), 1);

    // A handler that fails all day: counted, but the kept texts do not grow without bound.
    sim.advanceBy(10 * 1000);
    EXPECT_EQ(sim.events().errorCount(), 1002u);
    EXPECT_EQ(sim.events().errors().size(), platform::ManualEventQueue::kKeptErrors);
    EXPECT_EQ(sim.events().takeErrors().size(), platform::ManualEventQueue::kKeptErrors);
    EXPECT_TRUE(sim.events().errors().empty());
}

TEST(Simulation, ATimerMayDestroyItselfInItsHandler) {
    platform::Simulation sim(kMorning);
    auto timer = sim.timers().createTimer();
    int ticks = 0;
    timer->setInterval(10);
    timer->setOnTimer([&] {
        ++ticks;
        timer.reset();
    });
    timer->setEnabled(true);
    sim.advanceBy(100);
    EXPECT_EQ(ticks, 1);
}

std::vector<float> CrossFadeHeard(const std::string& a, const std::string& b) {
    platform::MemoryCapture heard;
    platform::Simulation sim(kMorning, &heard);
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer(sim.audioServices(decoder));
    auto& first = mixer.AddChannel();
    auto& second = mixer.AddChannel();
    first.SetFileName(a);
    first.Play();
    auto timer = sim.timers().createTimer();
    timer->setInterval(700);
    timer->setOnTimer([&] {
        timer->setEnabled(false);
        second.SetFileName(b);
        second.SetVolume(-3400);
        second.Play();
        second.Fade(1000, 0);
        first.Fade(1000, -3900);
    });
    timer->setEnabled(true);
    sim.advanceBy(2500);
    return heard.samples();
}

TEST(Simulation, TheSameStepsGiveTheSameSound) {
    TempDir dir;
    const std::string a = dir.write("a.wav", WavFile({}, Ramp16(2, 44100 * 3)));
    const std::string b = dir.write("b.wav", WavFile({1, 1, 22050, 16}, Ramp16(1, 22050 * 3)));
    const auto once = CrossFadeHeard(a, b);
    EXPECT_EQ(once.size(), 2500u * 441 / 10 * 2);
    EXPECT_EQ(once, CrossFadeHeard(a, b));
}

}  // namespace
}  // namespace pelvano::test
