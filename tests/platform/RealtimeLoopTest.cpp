#include "platform/loop/RealtimeLoop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "core/app/SilentAbort.h"
#include "platform/clock/SystemClock.h"

namespace pelvano::platform {
namespace {

TEST(RealtimeLoop, RunsTimersAndPostedEventsAndSurvivesTheirErrors) {
    SystemClock clock;
    std::vector<std::string> reported;
    RealtimeLoop loop(clock, [&](const std::string& error) { reported.push_back(error); });
    std::atomic<bool> stop{false};
    int ticks = 0;
    auto timer = loop.timers().createTimer();
    timer->setInterval(5);
    timer->setOnTimer([&] {
        if (++ticks == 1) throw std::runtime_error("a bad tick");
        if (ticks == 2) throw core::SilentAbort();
    });
    timer->setEnabled(true);
    bool ranOnLoop = false;
    const auto loopThread = std::this_thread::get_id();
    std::thread poster([&] {
        loop.post([&] {
            ranOnLoop = std::this_thread::get_id() == loopThread;
            loop.post([&] { stop = true; });  // posted from a handler: runs after it
        });
    });
    loop.run(stop);  // ends once the posted events ran
    poster.join();
    while (ticks < 4) loop.processPendingEvents();
    EXPECT_TRUE(ranOnLoop);
    EXPECT_EQ(reported, (std::vector<std::string>{"a bad tick"}));  // the silent abort says nothing
}

}  // namespace
}  // namespace pelvano::platform
