// The internet stream's cost. 1) The encoder alone: CPU seconds per second of mix for MP3,
// Vorbis and Opus at 128 kbit/s (one thread, the sender's whole job but the network).
// 2) The sound card's callback with streaming off and on, side by side: the real mixer plays
// an MP3 on the null card (a callback every 10 ms, as a sound card's period); rounds alternate
// off/on so that the machine's load falls on both alike. "On" adds the tee (the copy into the
// ring) to every callback and the encoder thread (MP3 128 kbit/s into a file) beside it.
// Usage: bench_stream [ROUND_SECONDS [ROUNDS]]   (defaults 5 and 6)
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CpuTime.h"
#include "core/app/Encoding.h"
#include "core/audio/TcbDSMixer.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/stream/TeeSoundOutput.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/stream/StreamEncoder.h"
#include "platform/stream/StreamOutput.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/PacedOutput.h"

using namespace pelvano;

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Music-like test signal: two tones and some noise, 44.1 kHz stereo.
std::vector<float> testMix(std::uint32_t frames) {
    std::vector<float> mix(2 * static_cast<std::size_t>(frames));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        mix[2 * i] = static_cast<float>(0.3 * std::sin(2 * M_PI * 440 * t)) + noise(random);
        mix[2 * i + 1] = static_cast<float>(0.3 * std::sin(2 * M_PI * 554 * t)) + noise(random);
    }
    return mix;
}

void benchEncoders() {
    const std::uint32_t seconds = 60;
    const std::vector<float> mix = testMix(44100 * seconds);
    std::printf("encoder alone, %u s of mix at 128 kbit/s, 441-frame blocks:\n", seconds);
    for (const char* format : {"mp3", "ogg", "opus"}) {
        platform::StreamCodec codec{};
        platform::StreamEncoder::parseFormat(format, codec);
        platform::StreamEncoder encoder(codec, 128, 44100, {"bench", ""});
        std::string bytes;
        const double start = threadCpuSeconds();
        for (std::uint32_t at = 0; at + 441 <= 44100 * seconds; at += 441) {
            encoder.encode(mix.data() + 2 * at, 441, bytes);
            if (bytes.size() > 65536) bytes.clear();
        }
        encoder.finish(bytes);
        const double cpu = threadCpuSeconds() - start;
        std::printf("  %-4s  %.3f s CPU = %.2f %% of one core\n", format, cpu,
                    100.0 * cpu / seconds);
    }
}

// Times every callback of a sound card: how long the renderer (mixer, and tee when on) took.
class TimedCard final : public core::SoundOutput {
  public:
    explicit TimedCard(core::SoundOutput& card) : card_(card) { renderer_.us.resize(1 << 16); }
    const std::vector<core::OutputDevice>& devices() const override { return card_.devices(); }
    std::unique_ptr<core::OutputStream> open(int device, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override {
        renderer_.inner = &renderer;
        return card_.open(device, format, renderer_);
    }
    // Render times of the callbacks since the last call, in microseconds.
    std::vector<double> take() {
        const std::size_t n = std::min(renderer_.count.exchange(0), renderer_.us.size());
        return std::vector<double>(renderer_.us.begin(), renderer_.us.begin() + n);
    }

  private:
    struct Renderer final : core::AudioRenderer {
        void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept override {
            const auto start = std::chrono::steady_clock::now();
            inner->render(out, frames, heardAtUs);
            const double us =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count();
            const std::size_t i = count.fetch_add(1);
            if (i < this->us.size()) this->us[i] = us;
        }
        void deviceLost(const std::string&) noexcept override {}
        void deviceRestored() noexcept override {}
        core::AudioRenderer* inner = nullptr;
        std::vector<double> us;
        std::atomic<std::size_t> count{0};
    };
    core::SoundOutput& card_;
    Renderer renderer_;
};

struct RoundFigures {
    std::vector<double> us;
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

void benchCallback(const std::string& music, double roundSeconds, int rounds) {
    platform::SystemClock clock;
    platform::ManualEventQueue events;
    platform::FfmpegSourceFactory decoder;
    platform::PacedOutput card(core::Utf8ToGbk("无声输出"), nullptr);
    TimedCard timed(card);
    const std::string streamFile =
        (std::filesystem::temp_directory_path() / "pelvano-bench-stream.mp3").string();
    platform::StreamOutput stream(
        events, [](const std::string&) {}, platform::StreamOutput::file(streamFile));
    core::TeeSoundOutput tee(timed, stream.ring());
    RoundFigures off, on;
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool streaming = round % 2 == 1;
        core::StreamSettings settings;
        settings.Enabled = streaming;
        stream.configure(settings);
        core::AudioServices services{streaming ? static_cast<core::SoundOutput*>(&tee) : &timed,
                                     &decoder, &clock, &events, nullptr};
        core::TcbDSMixer mixer(services);
        mixer.SetDeviceIndex(1);
        core::TcbDSMixerChannel& channel = mixer.AddChannel();
        channel.SetFileName(music);
        channel.Play();
        timed.take();
        const double cpu = bench::CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start <
               std::chrono::duration<double>(roundSeconds)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            events.drain();
        }
        RoundFigures& f = streaming ? on : off;
        const std::vector<double> us = timed.take();
        f.us.insert(f.us.end(), us.begin(), us.end());
        f.cpuSeconds += bench::CpuSeconds() - cpu;
        f.wallSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        channel.Stop();
    }
    const auto c = stream.counters();
    std::printf("sound card callback (10 ms period), %d rounds of %.0f s each way:\n", rounds,
                roundSeconds);
    std::printf("  %-13s %9s %9s %9s %9s %9s %12s\n", "", "callbacks", "median", "p99", "p99.9",
                "max", "process CPU");
    for (const auto& [name, f] :
         {std::pair{"streaming off", &off}, std::pair{"streaming on", &on}}) {
        std::printf("  %-13s %9zu %7.1fus %7.1fus %7.1fus %7.1fus %10.2f %%\n", name, f->us.size(),
                    percentile(f->us, 0.5), percentile(f->us, 0.99), percentile(f->us, 0.999),
                    percentile(f->us, 1.0), 100.0 * f->cpuSeconds / f->wallSeconds);
    }
    std::printf("  on/off: median %.2fx, p99 %.2fx; stream: %llu frames encoded, %llu dropped\n",
                percentile(on.us, 0.5) / std::max(1e-9, percentile(off.us, 0.5)),
                percentile(on.us, 0.99) / std::max(1e-9, percentile(off.us, 0.99)),
                static_cast<unsigned long long>(c.framesEncoded),
                static_cast<unsigned long long>(c.framesDropped));
    std::filesystem::remove(streamFile);
}

}  // namespace

int main(int argc, char** argv) {
    const double roundSeconds = argc > 1 ? std::atof(argv[1]) : 5;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 6;
    benchEncoders();
    const std::string music =
        (std::filesystem::temp_directory_path() / "pelvano-bench-music.mp3").string();
    const std::string make =
        "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
        "\"sine=frequency=440:duration=600,volume=0.5\" -f lavfi -i "
        "\"anoisesrc=duration=600:amplitude=0.1\" -filter_complex amix=inputs=2 -ac 2 "
        "-c:a libmp3lame -b:a 192k '" +
        music + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg could not make the music file\n");
        return 1;
    }
    benchCallback(music, roundSeconds, rounds);
    std::filesystem::remove(music);
    return 0;
}
