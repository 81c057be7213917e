// The watch between a device's callbacks and the station: a pause of a freshly opened stream is
// its start-up, a pause later on is a stall.
#include "platform/audio/DeviceWatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace pelvano::test {
namespace {

using std::chrono::milliseconds;

class CountingRenderer : public core::AudioRenderer {
  public:
    void render(float*, std::uint32_t, std::int64_t) noexcept override {}
    void deviceLost(const std::string&) noexcept override { ++lost; }
    void deviceRestored() noexcept override { ++restored; }
    std::atomic<int> lost{0};
    std::atomic<int> restored{0};
};

// A device's callbacks: blocks for `span`, as a stream asking every 10 ms.
void CallBackFor(platform::DeviceWatch& watch, milliseconds span) {
    std::vector<float> block(2 * 441);
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        watch.renderFromCallback(block.data(), 441, 0);
        std::this_thread::sleep_for(milliseconds(10));
    }
}

TEST(DeviceWatch, AFreshStreamMayWaitForItsFirstSteadyCallbacks) {
    CountingRenderer renderer;
    platform::DeviceWatch watch(renderer, {}, [](bool) { return false; });
    watch.start();
    // The first fill, then the wait a sound server's plug-in takes after a restart.
    CallBackFor(watch, milliseconds(50));
    std::this_thread::sleep_for(milliseconds(2800));
    CallBackFor(watch, milliseconds(300));
    EXPECT_EQ(renderer.lost, 0);
    watch.stop();
}

TEST(DeviceWatch, APauseAfterTheStartIsAStallReportedOnce) {
    CountingRenderer renderer;
    platform::DeviceWatch watch(renderer, {}, [](bool) { return false; });
    watch.start();
    CallBackFor(watch, milliseconds(4100));
    std::this_thread::sleep_for(milliseconds(3000));
    EXPECT_EQ(renderer.lost, 1);
    // Callbacks that run again end the stall by themselves.
    CallBackFor(watch, milliseconds(300));
    EXPECT_EQ(renderer.restored, 1);
    watch.stop();
}

}  // namespace
}  // namespace pelvano::test
