#include <gtest/gtest.h>

#include "core/audio/TMyDelay.h"
#include "platform/virtual/Simulation.h"

namespace pelvano::test {
namespace {

// Counts what TMyDelay does to its timer, over a virtual one.
class CountingTimers final : public core::TimerService {
  public:
    explicit CountingTimers(core::TimerService& inner) : inner_(inner) {}
    std::unique_ptr<core::Timer> createTimer() override {
        class Counting final : public core::Timer {
          public:
            Counting(std::unique_ptr<core::Timer> t, int& sets) : t_(std::move(t)), sets_(sets) {}
            void setInterval(std::uint32_t ms) override {
                ++sets_;
                t_->setInterval(ms);
            }
            std::uint32_t interval() const override { return t_->interval(); }
            void setEnabled(bool e) override { t_->setEnabled(e); }
            bool enabled() const override { return t_->enabled(); }
            void setOnTimer(std::function<void()> h) override { t_->setOnTimer(std::move(h)); }

          private:
            std::unique_ptr<core::Timer> t_;
            int& sets_;
        };
        return std::make_unique<Counting>(inner_.createTimer(), intervalSets);
    }
    int intervalSets = 0;

  private:
    core::TimerService& inner_;
};

class DelayTest : public ::testing::Test {
  protected:
    platform::Simulation sim{core::LocalDateTime{2026, 12, 7, 10, 0, 0, 0}};
    CountingTimers timers{sim.timers()};
    core::TMyDelay delay{timers, sim};
};

TEST_F(DelayTest, WaitsItsIntervalInVirtualTime) {
    const auto start = sim.nowMs();
    delay.Delay(100);
    EXPECT_EQ(sim.nowMs() - start, 100u);
    EXPECT_EQ(delay.Interval(), 100u);
    EXPECT_EQ(sim.clock().now().millisecond, 100);
}

TEST_F(DelayTest, ZeroReturnsAtTheFirstTick) {
    const auto start = sim.nowMs();
    delay.Delay(0);
    EXPECT_LE(sim.nowMs() - start, 1u);
}

TEST_F(DelayTest, TheSameIntervalTwiceIsSetOnce) {
    delay.Delay(500);
    delay.Delay(500);
    EXPECT_EQ(timers.intervalSets, 1);
    delay.Delay(200);
    EXPECT_EQ(timers.intervalSets, 2);
}

TEST_F(DelayTest, OtherTimersAndEventsRunDuringTheWait) {
    auto other = sim.timers().createTimer();
    std::vector<std::uint64_t> ticks;
    other->setInterval(30);
    other->setOnTimer([&] { ticks.push_back(sim.nowMs()); });
    other->setEnabled(true);
    bool posted = false;
    sim.events().post([&] { posted = true; });
    delay.Delay(100);
    EXPECT_TRUE(posted);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{30, 60, 90}));
}

TEST_F(DelayTest, AHandlerMayWaitInsideTheWait) {
    auto other = sim.timers().createTimer();
    core::TMyDelay inner(sim.timers(), sim);
    int nested = 0;
    other->setInterval(20);
    other->setOnTimer([&] {
        other->setEnabled(false);
        inner.Delay(50);
        ++nested;
    });
    other->setEnabled(true);
    delay.Delay(40);
    EXPECT_EQ(nested, 1);
    EXPECT_GE(sim.nowMs(), 70u);
}

}  // namespace
}  // namespace pelvano::test
