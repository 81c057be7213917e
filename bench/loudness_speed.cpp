// The loudness measurement of one hour of MP3 against `ffmpeg -af ebur128=peak=true -f null -`
// on the same file, CPU time side by side, and where our time goes: decoding to float frames,
// the gated loudness with its range and the cue points, and the true peak's oversampling.
// Usage: bench_loudness_speed [FILE] [RUNS]   (without a file, one hour of MP3 is made with
// ffmpeg: pink noise and a tone at 44.1 kHz, stereo, 192 kb/s)
#include <ebur128.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "core/loudness/CueFinder.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/loudness/LoudnessMeter.h"

using namespace pelvano;

namespace {

double BestCpu(int runs, int who, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double before = bench::CpuSeconds(who);
        work();
        best = std::min(best, bench::CpuSeconds(who) - before);
    }
    return best;
}

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Decodes the whole file into float frames; with a state, feeds them to it and to the cue
// finder as the measurement does.
void DecodeAndFeed(const std::string& file, int ebur128Mode) {
    platform::FfmpegSource source(platform::FfmpegSource::Samples::Float);
    core::WaveFormat format;
    std::int64_t duration = 0;
    if (source.open(file, format, duration) != 0) return;
    ebur128_state* state =
        ebur128Mode ? ebur128_init(format.nChannels, format.nSamplesPerSec, ebur128Mode) : nullptr;
    core::CueFinder cues(format.nChannels, static_cast<int>(format.nSamplesPerSec), -45.0);
    std::vector<float> block(8192 * format.nChannels);
    core::SourceBlock got;
    while (source.read(block.data(), static_cast<std::uint32_t>(block.size() * 4), got) == 0) {
        const std::size_t frames = got.bytes / format.nBlockAlign;
        if (state) {
            ebur128_add_frames_float(state, block.data(), frames);
            cues.add(block.data(), frames);
        }
    }
    if (state) ebur128_destroy(&state);
}

}  // namespace

int main(int argc, char** argv) {
    std::string file = argc > 1 ? argv[1] : "";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const auto folder = std::filesystem::temp_directory_path() / "pelvano-loudness-bench";
    if (file.empty()) {
        std::filesystem::create_directories(folder);
        file = (folder / "hour.mp3").string();
        if (!std::filesystem::exists(file) &&
            !Run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                 "\"anoisesrc=color=pink:sample_rate=44100:amplitude=0.2:duration=3600\" -f lavfi "
                 "-i \"sine=frequency=440:sample_rate=44100:duration=3600\" -filter_complex "
                 "\"[0][1]amix=inputs=2,aformat=channel_layouts=stereo\" -c:a libmp3lame "
                 "-b:a 192k '" + file + "'")) {
            std::fprintf(stderr, "could not make the test file\n");
            return 1;
        }
    }
    const std::string quoted = "'" + file + "'";
    const double ffmpegFilter = BestCpu(runs, RUSAGE_CHILDREN, [&] {
        Run("ffmpeg -nostdin -hide_banner -loglevel error -i " + quoted +
            " -af ebur128=peak=true -f null -");
    });
    const double ffmpegDecode = BestCpu(runs, RUSAGE_CHILDREN, [&] {
        Run("ffmpeg -nostdin -hide_banner -loglevel error -i " + quoted + " -f null -");
    });
    double integrated = 0;
    const double ours = BestCpu(runs, RUSAGE_SELF, [&] {
        platform::MeasureRequest request;
        request.path = file;
        const auto facts = platform::MeasureLoudness(request);
        integrated = facts ? facts->integratedLufs : 0;
    });
    const double decode = BestCpu(runs, RUSAGE_SELF, [&] { DecodeAndFeed(file, 0); });
    const double withoutPeak = BestCpu(runs, RUSAGE_SELF, [&] {
        DecodeAndFeed(file, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_HISTOGRAM);
    });
    std::printf("file: %s (integrated %.2f LUFS)\n", file.c_str(), integrated);
    std::printf("ffmpeg -af ebur128=peak=true    %7.2f s CPU\n", ffmpegFilter);
    std::printf("  of which ffmpeg's decoding    %7.2f s CPU\n", ffmpegDecode);
    std::printf("pelvano loudness measurement    %7.2f s CPU\n", ours);
    std::printf("  decoding to float frames      %7.2f s CPU\n", decode);
    std::printf("  loudness, range, cue points   %7.2f s CPU\n", withoutPeak - decode);
    std::printf("  true-peak oversampling        %7.2f s CPU\n", ours - withoutPeak);
    std::printf("ratio pelvano / ffmpeg          %7.2f (goal <= 1.00)\n", ours / ffmpegFilter);
    return 0;
}
