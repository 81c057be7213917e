#include "support/PulseServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/ProcessOutput.h"

namespace pelvano::test {

namespace {

bool Answers(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool answered =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

}  // namespace

PulseServer::PulseServer(const std::string& folder) {
    namespace fs = std::filesystem;
    const std::string socketPath = folder + "/native";
    // Its own runtime, state and home folders: nothing of a desktop session is read or written.
    for (const char* sub : {"/runtime", "/state", "/home"}) fs::create_directories(folder + sub);
    fs::permissions(folder + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    std::ofstream(folder + "/server.pa")
        << "load-module module-null-sink sink_name=" << kSink << " rate=48000 channels=2\n"
        << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socketPath
        << "\nset-default-sink " << kSink << "\n";
    setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1);
    // -n: none of the system's default modules (no hardware, no session bus). As root it runs
    // with a warning; --system would want the system daemon's user and folders.
    process_.start({"pulseaudio", "-n", "-F", folder + "/server.pa", "--daemonize=no",
                    "--exit-idle-time=-1", "--use-pid-file=no", "--log-target=stderr",
                    "--log-level=error"},
                   {{"HOME", folder + "/home"},
                    {"XDG_RUNTIME_DIR", folder + "/runtime"},
                    {"PULSE_RUNTIME_PATH", folder + "/runtime"},
                    {"PULSE_STATE_PATH", folder + "/state"}},
                   [socketPath] { return Answers(socketPath); }, 100,
                   std::chrono::milliseconds(50));
}

PulseServer::~PulseServer() {
    stop();
}

void PulseServer::stop() {
    process_.stop();
}

std::int64_t PulseServer::sinkLatencyUs() const {
    // "Latency: 1868 usec, configured 5000 usec"
    const std::string listed = RunOutput("LC_ALL=C pactl list sinks 2>/dev/null");
    const std::string key = "configured ";
    const std::size_t at = listed.find(key);
    if (at == std::string::npos) return 0;
    return std::strtoll(listed.c_str() + at + key.size(), nullptr, 10);
}

MonitorRecorder::MonitorRecorder(double seconds, std::uint32_t rate)
    : rate_(rate), samples_(static_cast<std::size_t>(seconds * rate)) {
    // Small fragments: each block is handed over about when it is mixed. The monitor's latency
    // asked for is also the sink's.
    fd_ = parec_.startReading({"parec", std::string("--device=") + PulseServer::kSink + ".monitor",
                               "--format=float32le", "--rate=" + std::to_string(rate),
                               "--channels=1", "--latency-msec=5", "--raw"},
                              {});
    if (fd_ >= 0) reader_ = std::thread([this] { read(); });
}

MonitorRecorder::~MonitorRecorder() {
    parec_.stop();
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) ::close(fd_);
}

bool MonitorRecorder::waitForFirstBlock() const {
    for (int i = 0; i < 100 && frames() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return frames() > 0;
}

void MonitorRecorder::read() {
    std::size_t bytes = 0;
    auto* base = reinterpret_cast<char*>(samples_.data());
    const std::size_t capacity = samples_.size() * sizeof(float);
    while (bytes < capacity) {
        const ssize_t n = ::read(fd_, base + bytes, capacity - bytes);
        if (n <= 0) return;  // parec ended (stopped, or its server went away)
        const std::int64_t arrivedUs = SteadyNowUs();
        bytes += static_cast<std::size_t>(n);
        const std::size_t frames = bytes / sizeof(float);
        const std::int64_t firstUs =
            arrivedUs - static_cast<std::int64_t>(frames) * 1000000 / rate_;
        if (firstUs < firstFrameUs_.load(std::memory_order_relaxed)) {
            firstFrameUs_.store(firstUs, std::memory_order_relaxed);
        }
        written_.store(frames, std::memory_order_release);
    }
}

std::int64_t MonitorRecorder::heardUsOf(std::size_t frame) const {
    return firstFrameUs_.load(std::memory_order_relaxed) +
           static_cast<std::int64_t>(frame) * 1000000 / rate_ + sinkLatencyUs_;
}

}  // namespace pelvano::test
