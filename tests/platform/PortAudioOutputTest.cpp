#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "platform/portaudio/PortAudioOutput.h"

namespace pelvano::test {
namespace {

// Whatever sound system the machine has (often none in CI): the list starts with the default
// device, and a device that is not in the list cannot be opened.
TEST(PortAudioOutput, ListsTheDefaultFirstAndRefusesUnknownDevices) {
    platform::PortAudioOutput output;
    ASSERT_GE(output.devices().size(), 1u);
    EXPECT_EQ(core::GbkToUtf8(output.devices()[0].description), "主声音驱动程序");
    class Silent final : public core::AudioRenderer {
        void render(float*, std::uint32_t, std::int64_t) noexcept override {}
        void deviceLost(const std::string&) noexcept override {}
        void deviceRestored() noexcept override {}
    } renderer;
    const int outside = static_cast<int>(output.devices().size());
    EXPECT_THROW(output.open(outside, {44100, 2}, renderer), std::runtime_error);
    EXPECT_THROW(output.open(-1, {44100, 2}, renderer), std::runtime_error);
}

}  // namespace
}  // namespace pelvano::test
