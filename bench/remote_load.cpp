// The remote control under load, side by side with the server off: 50 clients polling
// /api/status every 100 ms and 20 holding the event stream, against a station playing the demo
// schedule in real time on the null output. Prints the request times (p50, p99), the station
// process's CPU share, and the audio callback's time (mean, p99, max) per phase.
// The clients run in a child process forked before any thread starts, so that their own work
// is not counted as the station's.
// Usage: bench_remote_load STATION-FOLDER [SECONDS-PER-PHASE] [ROUNDS]   (default 10, 2)
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CpuTime.h"
#include "core/app/AppPaths.h"
#include "core/app/IniFile.h"
#include "core/playout/Station.h"
#include "core/schedule/RemoteSettings.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/loop/RealtimeLoop.h"
#include "platform/remote/PasswordHash.h"
#include "platform/remote/RemoteStation.h"
#include "platform/virtual/PacedOutput.h"
#include "platform/worker/WorkerThreads.h"

using namespace pelvano;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPollers = 50;
constexpr int kEventClients = 20;
constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr const char* kUser = "bench";
constexpr const char* kPassword = "bench password";

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}

// Times every render the device asks of the station.
class TimedRenderer final : public core::AudioRenderer {
  public:
    explicit TimedRenderer(core::AudioRenderer& inner) : inner_(inner), us_(4'000'000) {}
    void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept override {
        const auto start = Clock::now();
        inner_.render(out, frames, heardAtUs);
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        const std::size_t at = count_.load(std::memory_order_relaxed);
        if (at < us_.size()) {
            us_[at] = us;
            count_.store(at + 1, std::memory_order_release);
        }
    }
    void deviceLost(const std::string& reason) noexcept override { inner_.deviceLost(reason); }
    void deviceRestored() noexcept override { inner_.deviceRestored(); }
    std::size_t count() const { return count_.load(std::memory_order_acquire); }
    std::vector<double> between(std::size_t from, std::size_t to) const {
        return {us_.begin() + static_cast<std::ptrdiff_t>(from), us_.begin() + static_cast<std::ptrdiff_t>(to)};
    }

  private:
    core::AudioRenderer& inner_;
    std::vector<double> us_;
    std::atomic<std::size_t> count_{0};
};

class TimedOutput final : public core::SoundOutput {
  public:
    explicit TimedOutput(core::SoundOutput& inner) : inner_(inner) {}
    const std::vector<core::OutputDevice>& devices() const override { return inner_.devices(); }
    std::unique_ptr<core::OutputStream> open(int device, const core::OutputFormat& format,
                                             core::AudioRenderer& renderer) override {
        timed_ = std::make_unique<TimedRenderer>(renderer);
        return inner_.open(device, format, *timed_);
    }
    TimedRenderer* renderer() const { return timed_.get(); }

  private:
    core::SoundOutput& inner_;
    std::unique_ptr<TimedRenderer> timed_;
};

// The child: on each "load SECONDS" line it loads the server and answers with one line.
std::string loadServer(int port, int seconds) {
    httplib::Client login("127.0.0.1", port);
    const auto res = login.Post("/login", httplib::Params{{"user", kUser}, {"password", kPassword}});
    if (!res || res->status != 303) return "login failed\n";
    const std::string cookie = res->get_header_value("Set-Cookie").substr(0, 48);
    const httplib::Headers headers{{"Cookie", cookie}};
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    std::mutex mutex;
    std::vector<double> ms;
    std::atomic<int> errors{0};
    std::atomic<long long> eventBytes{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kEventClients; ++i) {
        threads.emplace_back([&] {
            httplib::Client c("127.0.0.1", port);
            c.set_read_timeout(seconds + 5, 0);
            c.Get("/api/events", headers, [&](const char*, std::size_t n) {
                eventBytes += static_cast<long long>(n);
                return Clock::now() < end;
            });
        });
    }
    for (int i = 0; i < kPollers; ++i) {
        threads.emplace_back([&] {
            httplib::Client c("127.0.0.1", port);
            c.set_keep_alive(true);
            // A loaded machine may take longer than the library's 300 ms to accept.
            c.set_connection_timeout(5, 0);
            std::vector<double> mine;
            for (auto next = Clock::now(); next < end; next += kPollInterval) {
                std::this_thread::sleep_until(next);
                const auto start = Clock::now();
                const auto r = c.Get("/api/status", headers);
                if (!r || r->status != 200) {
                    ++errors;
                    continue;
                }
                mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
            const std::lock_guard lock(mutex);
            ms.insert(ms.end(), mine.begin(), mine.end());
        });
    }
    for (auto& t : threads) t.join();
    char line[200];
    std::snprintf(line, sizeof line, "%zu %.2f %.2f %d %lld\n", ms.size(), percentile(ms, 0.5),
                  percentile(ms, 0.99), errors.load(), eventBytes.load());
    return line;
}

void runClients(int commands, int answers, int port) {
    FILE* in = fdopen(commands, "r");
    char command[64];
    int seconds = 0;
    while (std::fgets(command, sizeof command, in) && std::sscanf(command, "load %d", &seconds) == 1) {
        const std::string line = loadServer(port, seconds);
        if (write(answers, line.data(), line.size()) < 0) break;
    }
    std::_Exit(0);
}

int freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

struct Phase {
    std::size_t firstRender = 0;
    double cpu = 0;
    Clock::time_point start;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_remote_load STATION-FOLDER [SECONDS] [ROUNDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 10;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
    const int port = freePort();
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) return 1;
    const pid_t child = fork();
    if (child == 0) runClients(toChild[0], fromChild[1], port);

    const auto folder = std::filesystem::temp_directory_path() / ("pelvano-bench-remote-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::copy(argv[1], folder, std::filesystem::copy_options::recursive);
    const core::AppPaths paths = core::AppPaths::ofFolder(folder.string());
    core::RemoteSettings on;
    on.Enabled = true;
    on.Port = port;
    on.User = kUser;
    on.PasswordHash = platform::HashPassword(kPassword);
    core::RemoteSettings off = on;
    off.Enabled = false;

    platform::SystemClock clock;
    platform::RealtimeLoop loop(clock, [](const std::string& e) { std::fprintf(stderr, "%s\n", e.c_str()); });
    platform::PacedOutput paced("null", nullptr);
    TimedOutput output(paced);
    platform::FfmpegSourceFactory decoder;
    platform::WorkerThreads work(loop);
    core::StationPorts ports;
    ports.paths = paths;
    ports.clock = &clock;
    ports.timers = &loop.timers();
    ports.pump = &loop;
    ports.audio = core::AudioServices{&output, &decoder, &clock, &loop, nullptr};
    ports.work = &work;
    core::IniWrite(paths.settingsFile(), "START", "cbDevID", "1");
    core::Station station(ports);
    if (station.start() != core::StartupOutcome::Running) return 1;
    platform::RemoteStation remote(station, loop, loop.timers(), nullptr);

    std::atomic<bool> stop{false};
    std::printf("remote load: %d pollers every %lld ms, %d event streams, %d s a phase, %d rounds\n",
                kPollers, static_cast<long long>(kPollInterval.count()), kEventClients, seconds, rounds);
    std::printf("%-6s %9s %9s %8s %8s %10s %12s %11s %10s\n", "server", "requests", "p50 ms",
                "p99 ms", "errors", "CPU share", "callback us", "p99 us", "max us");
    std::thread control([&] {
        std::this_thread::sleep_for(std::chrono::seconds(2));  // the first item settles
        FILE* answers = fdopen(fromChild[0], "r");
        for (int round = 0; round < rounds * 2; ++round) {
            const bool serverOn = round % 2 == 1;
            loop.post([&, serverOn] { remote.configure(serverOn ? on : off); });
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            TimedRenderer* renderer = output.renderer();
            Phase phase{renderer->count(), bench::CpuSeconds(), Clock::now()};
            char result[200] = "0 0 0 0 0";
            if (serverOn) {
                const std::string command = "load " + std::to_string(seconds) + "\n";
                if (write(toChild[1], command.data(), command.size()) < 0) break;
                if (!std::fgets(result, sizeof result, answers)) break;
            } else {
                std::this_thread::sleep_for(std::chrono::seconds(seconds));
            }
            const double wall = std::chrono::duration<double>(Clock::now() - phase.start).count();
            const double cpu = (bench::CpuSeconds() - phase.cpu) / wall;
            const auto us = renderer->between(phase.firstRender, renderer->count());
            double mean = 0;
            for (double u : us) mean += u;
            mean /= std::max<std::size_t>(1, us.size());
            unsigned long requests = 0;
            double p50 = 0, p99 = 0;
            int errors = 0;
            std::sscanf(result, "%lu %lf %lf %d", &requests, &p50, &p99, &errors);
            std::printf("%-6s %9lu %9.2f %8.2f %8d %9.1f%% %12.1f %11.1f %10.1f\n",
                        serverOn ? "on" : "off", requests, p50, p99, errors, cpu * 100, mean,
                        percentile(us, 0.99), us.empty() ? 0 : *std::max_element(us.begin(), us.end()));
            std::fflush(stdout);
        }
        stop = true;
    });
    loop.run(stop);
    control.join();
    close(toChild[1]);
    waitpid(child, nullptr, 0);
    std::filesystem::remove_all(folder);
    return 0;
}
