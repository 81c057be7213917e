// Renders a 55-minute MP3 to WAV through reader, channel and mixer in virtual time, and times
// `ffmpeg -i FILE -f wav -` on the same file beside it: once at the file's own rate, once
// converted to another rate (48 kHz, or 44.1 kHz for a 48 kHz file: our windowed-sinc filter
// against FFmpeg's default resampler).
// Usage: bench_audio_render [FILE.mp3]   (without a file one is made with ffmpeg, 44.1 kHz)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "CpuTime.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/Simulation.h"
#include "platform/virtual/WavFileSink.h"

using namespace pelvano;

namespace {

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

// Best of some runs, by wall time and by CPU time (of this process or of its children): the
// machine may be shared, and CPU time is what contention disturbs least.
Timing Best(int runs, int who, const std::function<void()>& work) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        const double cpu = pelvano::bench::CpuSeconds(who);
        const auto start = std::chrono::steady_clock::now();
        work();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best.wall = std::min(best.wall, wall);
        best.cpu = std::min(best.cpu, pelvano::bench::CpuSeconds(who) - cpu);
    }
    return best;
}

// Returns the file's length in seconds.
double RenderThroughEngine(const std::string& file, std::uint32_t deviceRate) {
    platform::WavFileSink sink("/dev/null");
    platform::Simulation sim(core::LocalDateTime{}, &sink, deviceRate);
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer(sim.audioServices(decoder));
    auto& ch = mixer.AddChannel();
    bool ended = false;
    ch.OnEnd = [&](core::TcbDSMixerChannel&) { ended = true; };
    ch.SetFileName(file);
    ch.Play();
    while (!sim.runUntil([&] { return ended; }, 3600000)) {
    }
    return ch.Length() / 1000.0;
}

// The file's sample rate, as ffprobe reads it; 0 when it cannot.
std::uint32_t RateOf(const std::string& file) {
    const std::string probe =
        "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate -of csv=p=0 '" +
        file + "'";
    FILE* pipe = popen(probe.c_str(), "r");
    if (pipe == nullptr) return 0;
    unsigned rate = 0;
    if (std::fscanf(pipe, "%u", &rate) != 1) rate = 0;
    pclose(pipe);
    return rate;
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    std::optional<std::filesystem::path> made;
    if (argc > 1) {
        file = argv[1];
    } else {
        made = std::filesystem::temp_directory_path() / "pelvano-bench-55min.mp3";
        file = made->string();
        std::printf("making a 55-minute MP3 with ffmpeg...\n");
        const std::string make =
            "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
            "\"sine=frequency=440:duration=3300,volume=0.5\" -f lavfi -i "
            "\"anoisesrc=duration=3300:amplitude=0.1\" -filter_complex amix=inputs=2 -ac 2 "
            "-c:a libmp3lame -b:a 192k '" +
            file + "'";
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "ffmpeg could not make the file\n");
            return 1;
        }
    }
    const std::uint32_t fileRate = RateOf(file);
    if (fileRate == 0) {
        std::fprintf(stderr, "ffprobe cannot read the rate of %s\n", file.c_str());
        return 1;
    }
    std::printf("file to WAV, best of 3 runs            wall      CPU   (x real time by CPU)\n");
    for (const std::uint32_t rate : {fileRate, fileRate == 48000 ? 44100u : 48000u}) {
        const bool converted = rate != fileRate;
        const std::string ffmpegCommand = "ffmpeg -nostdin -hide_banner -loglevel error -i '" +
                                          file + "' -ar " + std::to_string(rate) +
                                          " -f wav - >/dev/null";
        const Timing ffmpeg = Best(3, RUSAGE_CHILDREN, [&] {
            if (std::system(ffmpegCommand.c_str()) != 0) std::fprintf(stderr, "ffmpeg failed\n");
        });
        double seconds = 0.0;
        const Timing engine =
            Best(3, RUSAGE_SELF, [&] { seconds = RenderThroughEngine(file, rate); });
        std::printf("%.0f minutes at %u Hz, %s %u Hz\n", seconds / 60, fileRate,
                    converted ? "converted to" : "kept at", rate);
        std::printf("  ffmpeg -i FILE -ar %5u -f wav -  %7.2f s %7.2f s   %6.0fx\n", rate,
                    ffmpeg.wall, ffmpeg.cpu, seconds / ffmpeg.cpu);
        std::printf("  reader + channel + mixer           %7.2f s %7.2f s   %6.0fx\n", engine.wall,
                    engine.cpu, seconds / engine.cpu);
        std::printf(
            "  ratio engine / ffmpeg              %7.2f   %7.2f     (target <= 1.0 by CPU)\n",
            engine.wall / ffmpeg.wall, engine.cpu / ffmpeg.cpu);
    }
    if (made) std::filesystem::remove(*made);
    return 0;
}
