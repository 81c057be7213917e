// pelvano-cli devices | play | render: the audio engine without the station around it.
#include <chrono>
#include <iostream>
#include <optional>
#include <thread>

#include "CliCommand.h"
#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "platform/OutputSelection.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/ManualEventQueue.h"
#include "platform/virtual/PacedOutput.h"
#include "platform/virtual/Simulation.h"
#include "platform/virtual/WavFileSink.h"

namespace pelvano::cli {

namespace {

struct PlayOptions {
    std::string file;
    int device = 0;
    std::string wav;
    int fadeInSeconds = 0;
    int startMs = 0;
    int endMs = 0;
};

bool NumberOption(const Args& args, std::size_t& i, int& out) {
    if (i + 1 >= args.size()) return false;
    const int value = core::StrToIntDef(args[i + 1], -1);
    if (value < 0) return false;
    out = value;
    ++i;
    return true;
}

// Parses FILE and the options; returns the error text, empty when they are good.
std::string ParsePlayOptions(const Args& args, PlayOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--wav" && i + 1 < args.size()) {
            options.wav = args[++i];
        } else if (a == "--device") {
            if (!NumberOption(args, i, options.device)) return "--device needs a number";
        } else if (a == "--fade-in") {
            if (!NumberOption(args, i, options.fadeInSeconds)) return "--fade-in needs seconds";
        } else if (a == "--start") {
            if (!NumberOption(args, i, options.startMs)) return "--start needs milliseconds";
        } else if (a == "--end") {
            if (!NumberOption(args, i, options.endMs)) return "--end needs milliseconds";
        } else if (a.rfind("--", 0) == 0 || !options.file.empty()) {
            return "unexpected argument: " + a;
        } else {
            options.file = a;
        }
    }
    return options.file.empty() ? "a FILE is needed" : "";
}

// Opens the file on a fresh channel and starts it; `ended` is set by its natural end.
core::TcbDSMixerChannel& StartOne(core::TcbDSMixer& mixer, const PlayOptions& options,
                                  std::optional<std::string>& ended) {
    auto& ch = mixer.AddChannel();
    ch.OnEnd = [&ended](core::TcbDSMixerChannel& sender) { ended = sender.EndError(); };
    ch.SetFileName(options.file);
    // The window's start moves the reader there too.
    if (options.startMs > 0) ch.SetStartPos(options.startMs);
    if (options.endMs > 0) ch.SetEndPos(options.endMs);
    if (options.fadeInSeconds > 0) {
        ch.SetVolume(-3400);
        ch.Play();
        ch.Fade(static_cast<std::uint32_t>(options.fadeInSeconds) * 1000, 0);
    } else {
        ch.Play();
    }
    return ch;
}

int Finish(const std::optional<std::string>& ended) {
    if (ended && !ended->empty()) return failure(*ended);
    return 0;
}

int Devices(const Args& args) {
    if (!args.empty()) return usageError("devices takes no arguments");
    auto output = platform::CreateSoundOutput(platform::OutputSelectionFromEnvironment());
    const auto& list = output->devices();
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::cout << core::Format("(%2.2d)", static_cast<int>(i))
                  << core::GbkToUtf8(list[i].description) << "\n";
    }
    return 0;
}

int Play(const Args& args) {
    PlayOptions options;
    if (auto error = ParsePlayOptions(args, options); !error.empty()) return usageError(error);
    std::unique_ptr<core::SoundOutput> output =
        options.wav.empty()
            ? platform::CreateSoundOutput(platform::OutputSelectionFromEnvironment())
            : platform::CreateSoundOutput("wav:" + options.wav);
    platform::SystemClock clock;
    platform::ManualEventQueue events;
    platform::FfmpegSourceFactory decoder;
    core::TcbDSMixer mixer({output.get(), &decoder, &clock, &events, nullptr});
    if (options.device < 0 || options.device >= mixer.DeviceCount()) {
        return usageError(core::Format("no device %d", options.device));
    }
    mixer.SetDeviceIndex(options.device);
    mixer.OnDeviceLost = [](const std::string& reason) {
        std::cerr << "pelvano-cli: sound device lost: " << reason << "\n";
    };
    std::optional<std::string> ended;
    StartOne(mixer, options, ended);
    while (!ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        events.drain();
    }
    return Finish(ended);
}

int Render(const Args& args) {
    PlayOptions options;
    if (auto error = ParsePlayOptions(args, options); !error.empty()) return usageError(error);
    if (options.wav.empty()) return usageError("render needs --wav OUT");
    platform::WavFileSink sink(options.wav);
    platform::Simulation sim(core::LocalDateTime{}, &sink);
    platform::FfmpegSourceFactory decoder;
    std::optional<std::string> ended;
    {
        core::TcbDSMixer mixer(sim.audioServices(decoder));
        StartOne(mixer, options, ended);
        constexpr std::uint64_t kCheckEveryMs = 3600000;
        while (!sim.runUntil([&] { return ended.has_value(); }, kCheckEveryMs)) {
        }
    }
    sink.finish();
    return Finish(ended);
}

const CliRegistration kDevices("devices", "devices                  list the sound output devices",
                               Devices);
const CliRegistration kPlay(
    "play",
    "play FILE [--device N | --wav OUT] [--fade-in S] [--start MS] [--end MS]\n"
    "                           play one file through a mixer channel",
    Play);
const CliRegistration kRender(
    "render",
    "render FILE --wav OUT [--fade-in S] [--start MS] [--end MS]\n"
    "                           play one file in virtual time into a WAV file",
    Render);

}  // namespace

}  // namespace pelvano::cli
