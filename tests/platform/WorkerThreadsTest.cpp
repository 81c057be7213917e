#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/virtual/ManualEventQueue.h"
#include "platform/worker/WorkerThreads.h"

namespace pelvano::test {
namespace {

using Outcome = core::BackgroundWork::Outcome;
using namespace std::chrono_literals;

// A job that hangs until released, as a read stuck in the kernel; shared with the job thread.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    void release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return open; });
    }
};

// Drains the queue until `done` holds or two seconds pass.
bool DrainUntil(platform::ManualEventQueue& queue, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + 2s;
    while (!done() && std::chrono::steady_clock::now() < limit) {
        queue.drain();
        std::this_thread::sleep_for(1ms);
    }
    return done();
}

TEST(WorkerThreads, AJobRunsOnItsOwnThreadAndItsOutcomeComesThroughTheQueue) {
    platform::ManualEventQueue queue;
    platform::WorkerThreads work(queue);
    std::thread::id ranOn;
    std::vector<Outcome> outcomes;
    work.run([&] { ranOn = std::this_thread::get_id(); }, 2000ms,
             [&](Outcome o) { outcomes.push_back(o); });
    ASSERT_TRUE(DrainUntil(queue, [&] { return !outcomes.empty(); }));
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::Done});
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(WorkerThreads, AHungJobIsGivenUpAtItsBoundAndForgottenWhenItReturns) {
    platform::ManualEventQueue queue;
    platform::WorkerThreads work(queue);
    auto gate = std::make_shared<Gate>();
    std::vector<Outcome> outcomes;
    work.run([gate] { gate->wait(); }, 50ms, [&](Outcome o) { outcomes.push_back(o); });
    ASSERT_TRUE(DrainUntil(queue, [&] { return !outcomes.empty(); }));
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::TimedOut});
    EXPECT_EQ(work.stuckJobs(), 1u);
    gate->release();
    ASSERT_TRUE(DrainUntil(queue, [&] { return work.stuckJobs() == 0; }));
    queue.drain();
    EXPECT_EQ(outcomes.size(), 1u) << "no second outcome for a job given up";
}

TEST(WorkerThreads, DestroyingNeverWaitsForAHungJob) {
    platform::ManualEventQueue queue;
    auto gate = std::make_shared<Gate>();
    bool called = false;
    const auto before = std::chrono::steady_clock::now();
    {
        platform::WorkerThreads work(queue);
        work.run([gate] { gate->wait(); }, 60000ms, [&](Outcome) { called = true; });
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    gate->release();
    queue.drain();
    EXPECT_FALSE(called);
}

TEST(WorkerThreads, BeforeReturningReportsEachOutcomeBeforeRunReturns) {
    platform::ManualEventQueue queue;
    platform::WorkerThreads work(queue, platform::WorkerThreads::Delivery::BeforeReturning);
    std::vector<Outcome> outcomes;
    std::atomic<int> ran{0};
    work.run([&] { ++ran; }, 2000ms, [&](Outcome o) { outcomes.push_back(o); });
    EXPECT_EQ(outcomes, std::vector<Outcome>{Outcome::Done});
    EXPECT_EQ(ran.load(), 1);
    auto gate = std::make_shared<Gate>();
    work.run([gate] { gate->wait(); }, 50ms, [&](Outcome o) { outcomes.push_back(o); });
    EXPECT_EQ(outcomes, (std::vector<Outcome>{Outcome::Done, Outcome::TimedOut}));
    EXPECT_EQ(queue.pending(), 0u) << "nothing goes through the queue";
    gate->release();
}

}  // namespace
}  // namespace pelvano::test
