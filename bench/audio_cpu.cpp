// CPU share of one core while two channels cross-fade and a third plays, in real time on the
// null output with the production refill threads.
// Usage: bench_audio_cpu [SECONDS]   (default 20)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "CpuTime.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/PacedOutput.h"

using namespace pelvano;

namespace {

std::string MakeMp3(const std::filesystem::path& dir, const char* name, int hz, int seconds) {
    const std::string path = (dir / name).string();
    const std::string make =
        "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
        "\"sine=frequency=" +
        std::to_string(hz) + ":duration=" + std::to_string(seconds) +
        "\" -ac 2 -c:a libmp3lame -b:a 192k '" + path + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg could not make %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 20;
    const auto dir = std::filesystem::temp_directory_path() / "pelvano-bench-cpu";
    std::filesystem::create_directories(dir);
    const std::string a = MakeMp3(dir, "a.mp3", 440, seconds + 5);
    const std::string b = MakeMp3(dir, "b.mp3", 660, seconds + 5);
    const std::string c = MakeMp3(dir, "c.mp3", 880, seconds + 5);

    platform::PacedOutput output("null", nullptr);
    platform::SystemClock clock;
    platform::ManualEventQueue events;
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer({&output, &decoder, &clock, &events, nullptr});
    mixer.SetDeviceIndex(1);
    auto& outgoing = mixer.AddChannel();
    auto& incoming = mixer.AddChannel();
    auto& third = mixer.AddChannel();
    outgoing.SetFileName(a);
    incoming.SetFileName(b);
    third.SetFileName(c);
    outgoing.Play();
    third.SetVolume(-1000);
    third.Play();
    incoming.SetVolume(-3400);
    incoming.Play();

    const double cpuStart = pelvano::bench::CpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    // One long cross-fade after another, over the whole measurement.
    const auto fadeMs = static_cast<std::uint32_t>(std::min(seconds * 500, 60000));
    incoming.Fade(fadeMs, 0);
    outgoing.Fade(fadeMs, -3900);
    std::this_thread::sleep_for(std::chrono::milliseconds(fadeMs));
    incoming.Fade(fadeMs, -3900);
    outgoing.Fade(fadeMs, 0);
    const auto end = wallStart + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        events.drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = pelvano::bench::CpuSeconds() - cpuStart;
    std::printf("two channels cross-fading + one playing, null output, %d s:\n", seconds);
    std::printf("  CPU %.3f s in %.2f s wall = %.2f%% of one core (target < 3%%)\n", cpu, wall,
                100.0 * cpu / wall);
    std::filesystem::remove_all(dir);
    return 0;
}
