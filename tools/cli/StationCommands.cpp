// pelvano-cli run [DIR] and simulate [DIR] --from ... --to ... [--wav OUT] [--stream OUT]: the
// station without windows, in real time on the configured output or in virtual time. Both
// stream the mix as [Stream] says: run to the Icecast server, simulate into a file. Both hold
// the station folder's lock; simulate --copy works on a copy of a folder that is on air. A
// simulation starts as the real station would: after an unclean end it resumes where the clock
// says at --from, so that a copy of a running station predicts where a crash would resume.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "CliCommand.h"
#include "CliDates.h"
#include "StationCopy.h"
#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/playout/NowPlayingTee.h"
#include "core/playout/Station.h"
#include "core/schedule/RemoteSettings.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/TeeSoundOutput.h"
#include "platform/OutputSelection.h"
#include "platform/autostart/XdgAutostart.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/lock/StationLock.h"
#include "platform/remote/RemoteStation.h"
#include "platform/loop/RealtimeLoop.h"
#include "platform/stream/StreamOutput.h"
#include "platform/systemd/ServiceNotifier.h"
#include "platform/virtual/Simulation.h"
#include "platform/virtual/WavFileSink.h"
#include "platform/worker/CloseDeadline.h"
#include "platform/loudness/StationLoudness.h"
#include "platform/worker/WorkerThreads.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

std::atomic<bool> gStop{false};
// Ctrl-C or SIGTERM ends the program within 2 s, whatever a hung file does.
constexpr std::chrono::milliseconds kCloseBound{1500};

void onSignal(int) {
    gStop.store(true);
}

// Ctrl-C, SIGTERM and a closed terminal (SIGHUP) close the station with its close keys, even
// during start-up; a closed standard output is no reason to stop playing.
void installSignalHandlers() {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
}

// The log window of a station without windows: its lines on standard output.
class PrintedLog final : public PlayLogView {
  public:
    explicit PrintedLog(bool print) : print_(print) {}
    void appendLine(const std::string& line) override {
        if (!print_) return;
        std::cout << GbkToUtf8(line) << std::endl;
        // The reader went away (a closed pipe): the printing ends, the station plays on.
        if (!std::cout) print_ = false;
    }
    void clear() override {}

  private:
    bool print_;
};

std::string executablePath() {
    return AppPaths::ofExecutable().applicationDir + "pelvano-cli";
}

// The stream's log lines go to the station's play-process log.
std::function<void(const std::string&)> streamLog(std::unique_ptr<Station>& station) {
    return [&station](const std::string& line) {
        if (station) station->log().LogLine(Utf8ToGbk(line));
    };
}

int reportStartup(StartupOutcome outcome) {
    if (outcome == StartupOutcome::NoDevice) return failure("没有检查到播出设备！");
    return outcome == StartupOutcome::InvalidDevice ? 1 : 0;
}

int run(const Args& args) {
    if (args.size() > 1) return usageError("usage: run [DIR]");
    const std::string dir = args.empty() ? "." : args[0];
    if (!DirectoryExists(dir)) return failure("not a folder: " + dir);
    const platform::StationLock lock(dir);
    if (lock.outcome() == platform::StationLock::Outcome::Held)
        return failure(platform::kStationRunningMessage);
    installSignalHandlers();
    platform::SystemClock clock;
    platform::RealtimeLoop loop(clock, [](const std::string& error) {
        std::cerr << "pelvano-cli: " << error << std::endl;
    });
    // Declared before the station: it outlives the station's last request.
    const auto loudness = platform::StationLoudnessOf(AppPaths::ofFolder(dir), loop);
    std::unique_ptr<Station> station;
    platform::StreamOutput stream(loop, streamLog(station));
    std::unique_ptr<SoundOutput> device =
        platform::CreateSoundOutput(platform::OutputSelectionFromEnvironment());
    TeeSoundOutput output(*device, stream.ring());
    platform::FfmpegSourceFactory decoder;
    platform::XdgAutostart autostart;
    platform::ServiceNotifier service(loop.timers());
    NowPlayingTee announced(&stream, &service);
    StationPorts ports;
    ports.paths = AppPaths::ofFolder(dir);
    ports.clock = &clock;
    ports.timers = &loop.timers();
    ports.pump = &loop;
    ports.audio = AudioServices{&output, &decoder, &clock, &loop, nullptr};
    ports.autostart = &autostart;
    ports.executablePath = executablePath();
    ports.nowPlaying = &announced;
    platform::WorkerThreads work(loop);
    ports.work = &work;
    ports.loudness = loudness.get();
    station = std::make_unique<Station>(ports);
    PrintedLog printed(true);
    station->logWindow().setView(&printed);
    if (const int status = reportStartup(station->start()); status != 0) return status;
    // After the start, whose end opens the play-process log: the stream's lines are kept.
    stream.configure(LoadStreamSettings(ports.paths.settingsFile()));
    auto remote = std::make_unique<platform::RemoteStation>(*station, loop, loop.timers(), &stream);
    remote->configure(LoadRemoteSettings(ports.paths.settingsFile()));
    service.ready();
    loop.run(gStop);
    service.stopping();
    remote.reset();
    station->writeCloseKeys();
    platform::EndProcessUnlessClosedWithin(kCloseBound, 0);
    station.reset();
    return 0;
}

struct SimulateOptions {
    std::string dir = ".";
    LocalDateTime from;
    LocalDateTime to;
    std::string wav;
    std::string stream;  // the encoded stream's file; empty: as [Stream] says
    bool copy = false;   // on a temporary copy of the folder
};

int parseSimulate(const Args& args, SimulateOptions& o) {
    bool haveFrom = false, haveTo = false, haveDir = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--from" && hasValue) {
            if (!ParseDateTime(args[++i], o.from))
                return usageError("not a time (YYYY-MM-DD hh:mm:ss): " + args[i]);
            haveFrom = true;
        } else if (a == "--to" && hasValue) {
            if (!ParseDateTime(args[++i], o.to))
                return usageError("not a time (YYYY-MM-DD hh:mm:ss): " + args[i]);
            haveTo = true;
        } else if (a == "--wav" && hasValue) {
            o.wav = args[++i];
        } else if (a == "--stream" && hasValue) {
            o.stream = args[++i];
        } else if (a == "--copy") {
            o.copy = true;
        } else if (!haveDir && a.rfind("--", 0) != 0) {
            o.dir = a;
            haveDir = true;
        } else {
            return usageError(
                "usage: simulate [DIR] --from \"YYYY-MM-DD hh:mm:ss\" --to \"...\" [--wav OUT] "
                "[--stream OUT] [--copy]");
        }
    }
    if (!haveFrom || !haveTo) return usageError("simulate needs --from and --to");
    return 0;
}

long long msBetween(const LocalDateTime& a, const LocalDateTime& b) {
    return ((b.dayNumber() - a.dayNumber()) * 86400 + b.secondsOfDay() - a.secondsOfDay()) * 1000LL;
}

// Where a simulation writes the stream: --stream, else with [Stream] Enabled the station's
// History folder, named for the simulation's start; empty: no stream.
std::string simulatedStreamFile(const SimulateOptions& o, const StreamSettings& settings,
                                const AppPaths& paths) {
    if (!o.stream.empty()) return o.stream;
    if (!settings.Enabled) return "";
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d-%02d%02d%02d.stream.", o.from.year,
                  o.from.month, o.from.day, o.from.hour, o.from.minute, o.from.second);
    return paths.applicationDir + "History/" + name + settings.Format;
}

int simulate(const Args& args) {
    SimulateOptions o;
    if (const int status = parseSimulate(args, o); status != 0) return status;
    if (!DirectoryExists(o.dir)) return failure("not a folder: " + o.dir);
    const long long span = msBetween(o.from, o.to);
    if (span <= 0) return usageError("--to must come after --from");
    if (o.copy) {
        o.dir = CopyStationForSimulation(o.dir);
        std::cout << "copy: " << o.dir << std::endl;
    }
    const platform::StationLock lock(o.dir);
    if (lock.outcome() == platform::StationLock::Outcome::Held)
        return failure(platform::kStationRunningMessage);
    std::unique_ptr<platform::WavFileSink> sink;
    if (!o.wav.empty()) sink = std::make_unique<platform::WavFileSink>(o.wav);
    platform::Simulation sim(o.from, sink.get());
    platform::FfmpegSourceFactory decoder;
    StationPorts ports = sim.stationPorts(o.dir, decoder);
    ports.executablePath = executablePath();
    StreamSettings streamSettings = LoadStreamSettings(ports.paths.settingsFile());
    const std::string streamFile = simulatedStreamFile(o, streamSettings, ports.paths);
    std::unique_ptr<Station> station;
    platform::StreamOutput stream(sim.events(), streamLog(station),
                                  platform::StreamOutput::file(streamFile));
    stream.setLossless(true);
    TeeSoundOutput output(sim.output(), stream.ring());
    if (!streamFile.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(streamFile).parent_path(),
                                            ignored);
        std::filesystem::remove(streamFile, ignored);
        streamSettings.Enabled = true;
        stream.configure(streamSettings);
        ports.audio.output = &output;
        ports.nowPlaying = &stream;
    }
    station = std::make_unique<Station>(ports);
    if (const int status = reportStartup(station->start()); status != 0) return status;
    sim.advanceBy(static_cast<std::uint64_t>(span));
    station->writeCloseKeys();
    const std::string logFile = station->log().dayFile();
    station.reset();
    for (const std::string& error : sim.events().errors())
        std::cerr << "pelvano-cli: " << error << "\n";
    if (const std::size_t more = sim.events().errorCount() - sim.events().errors().size(); more > 0)
        std::cerr << "pelvano-cli: " << more << " more errors\n";
    std::cout << "simulated " << span / 1000 << " s; log: " << logFile << "\n";
    if (!streamFile.empty()) std::cout << "stream: " << streamFile << "\n";
    return 0;
}

const CliRegistration kRun("run", "run [DIR]   the station in real time (Ctrl-C closes it)", run);
const CliRegistration kSimulate(
    "simulate",
    "simulate [DIR] --from \"YYYY-MM-DD hh:mm:ss\" --to \"...\" [--wav OUT] [--stream OUT] "
    "[--copy]\n"
    "                           the station in virtual time, started as it would start: after\n"
    "                           an unclean end (crash, kill) it resumes where the clock says at\n"
    "                           --from (异常退出后恢复播出 in its log); with --copy of a station\n"
    "                           on air, where a crash at --from would resume",
    simulate);

}  // namespace

}  // namespace pelvano::cli
