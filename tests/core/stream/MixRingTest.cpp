// The copy of the mix on its way to the stream: frames come out as they went in, across the
// ring's end; a full ring drops and counts instead of waiting; lossless mode waits for room.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/stream/MixRing.h"

namespace pelvano::core {
namespace {

std::vector<float> ramp(std::uint32_t frames, float from, std::uint32_t channels = 2) {
    std::vector<float> v(static_cast<std::size_t>(frames) * channels);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = from + static_cast<float>(i);
    return v;
}

TEST(MixRingTest, FramesComeOutInOrderAcrossTheRingsEnd) {
    MixRing ring(8);
    std::vector<float> out(16);
    for (int round = 0; round < 5; ++round) {
        const std::vector<float> in = ramp(5, static_cast<float>(round * 100));
        ring.push(in.data(), 5, 2);
        ASSERT_EQ(ring.pop(out.data(), 8), 5u);
        EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 10), in);
    }
    EXPECT_EQ(ring.written(), 25u);
    EXPECT_EQ(ring.consumed(), 25u);
    EXPECT_EQ(ring.dropped(), 0u);
}

TEST(MixRingTest, AFullRingDropsTheNewBlockAndCountsIt) {
    MixRing ring(8);
    const std::vector<float> first = ramp(6, 0);
    const std::vector<float> second = ramp(4, 50);
    ring.push(first.data(), 6, 2);
    ring.push(second.data(), 4, 2);  // 10 > 8: dropped whole, nothing waits
    EXPECT_EQ(ring.dropped(), 4u);
    std::vector<float> out(16);
    ASSERT_EQ(ring.pop(out.data(), 8), 6u);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 12), first);
    // A block longer than the whole ring can never fit.
    const std::vector<float> huge = ramp(9, 0);
    ring.push(huge.data(), 9, 2);
    EXPECT_EQ(ring.dropped(), 13u);
}

TEST(MixRingTest, MonoIsDoubledToStereo) {
    MixRing ring(8);
    const float mono[] = {0.25f, -0.5f};
    ring.push(mono, 2, 1);
    float out[4] = {};
    ASSERT_EQ(ring.pop(out, 4), 2u);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.25f);
    EXPECT_FLOAT_EQ(out[2], -0.5f);
    EXPECT_FLOAT_EQ(out[3], -0.5f);
}

TEST(MixRingTest, SkipAllForgetsWhatWaits) {
    MixRing ring(8);
    const std::vector<float> in = ramp(4, 0);
    ring.push(in.data(), 4, 2);
    ring.skipAll();
    float out[8];
    EXPECT_EQ(ring.pop(out, 4), 0u);
    EXPECT_EQ(ring.consumed(), 4u);
}

TEST(MixRingTest, LosslessModeWaitsForTheConsumerInsteadOfDropping) {
    MixRing ring(16);
    ring.setLossless(true);
    std::vector<float> received;
    std::thread consumer([&] {
        std::vector<float> out(2 * 16);
        while (received.size() < 2u * 400) {
            const std::uint32_t n = ring.pop(out.data(), 16);
            received.insert(received.end(), out.begin(), out.begin() + 2 * n);
            if (n == 0) std::this_thread::yield();
        }
    });
    const std::vector<float> in = ramp(400, 0);
    for (std::uint32_t i = 0; i < 400; i += 10) ring.push(in.data() + 2 * i, 10, 2);
    consumer.join();
    EXPECT_EQ(ring.dropped(), 0u);
    EXPECT_EQ(received, in);
}

}  // namespace
}  // namespace pelvano::core
