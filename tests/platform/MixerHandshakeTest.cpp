// The hand-overs between the audio callback, the refill threads and the UI thread, on real
// threads: a buffer released while the callback renders, a channel freed while its refill is
// still reading. Their value is under the sanitizers (a read after the free is reported).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "core/audio/SoftwareMixer.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/clock/SystemClock.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/PacedOutput.h"

namespace pelvano::test {
namespace {

using namespace std::chrono_literals;

TEST(MixerHandshake, ABufferReleasedWhileTheCallbackRendersIsNeverReadAfterwards) {
    core::SoftwareMixer mixer({44100, 2}, nullptr);
    std::atomic<bool> done{false};
    std::thread callback([&] {
        std::vector<float> out(256 * 2);
        while (!done.load()) mixer.render(out.data(), 256);
    });
    const core::WaveFormat format = core::MakePcmFormat(2, 22050, 16);
    const std::vector<std::uint8_t> loud(4096, 0x40);
    for (int i = 0; i < 3000; ++i) {
        core::SoundBuffer& buffer = mixer.createBuffer(4096, format);
        buffer.write(0, loud.data(), 4096);
        buffer.playLooping();
        if (i % 2) std::this_thread::yield();
        mixer.releaseBuffer(buffer);
    }
    done.store(true);
    callback.join();
}

// A decoder whose reads take longer than the channel lock's time-out (a slow network share).
class SlowSource final : public core::AudioSource {
  public:
    explicit SlowSource(const std::atomic<bool>& slow) : slow_(slow) {}
    std::int32_t open(const std::string&, core::WaveFormat& format,
                      std::int64_t& duration) override {
        format = core::MakePcmFormat(2, 44100, 16);
        duration = 600 * core::kStreamTimePerSecond;
        return 0;
    }
    std::int32_t read(void* buffer, std::uint32_t size, core::SourceBlock& block) override {
        if (slow_.load()) std::this_thread::sleep_for(800ms);
        std::memset(buffer, 0x10, size);
        block.bytes = size;
        block.startTime = position_;
        position_ += static_cast<std::int64_t>(size / 4) * core::kStreamTimePerSecond / 44100;
        block.endTime = position_;
        return 0;
    }
    std::int32_t seek(std::int64_t time) override {
        position_ = time;
        return 0;
    }
    void close() override {}
    std::string errorText(std::int32_t) const override { return {}; }

  private:
    const std::atomic<bool>& slow_;
    std::int64_t position_ = 0;
};

class SlowSources final : public core::AudioSourceFactory {
  public:
    std::unique_ptr<core::AudioSource> createSource() override {
        return std::make_unique<SlowSource>(slow);
    }
    std::atomic<bool> slow{false};
};

TEST(MixerHandshake, AChannelIsFreedOnlyAfterItsRefillHasLetGoOfIt) {
    platform::PacedOutput output("null", nullptr);
    platform::SystemClock clock;
    platform::ManualEventQueue events;
    SlowSources sources;
    core::TcbDSMixer mixer({&output, &sources, &clock, &events, nullptr});
    for (int round = 0; round < 2; ++round) {
        sources.slow.store(false);
        core::TcbDSMixerChannel& channel = mixer.AddChannel();
        channel.SetFileName("slow.wav");
        channel.Play();
        sources.slow.store(true);
        // The refill thread is now inside a read that holds the lock past its time-out.
        std::this_thread::sleep_for(350ms);
        mixer.FreeChannel(channel);
    }
    sources.slow.store(false);
    core::TcbDSMixerChannel& last = mixer.AddChannel();
    last.SetFileName("slow.wav");
    last.Play();
    sources.slow.store(true);
    std::this_thread::sleep_for(350ms);
    mixer.Close();  // the same for every channel of a closing device
    events.drain();
}

}  // namespace
}  // namespace pelvano::test
