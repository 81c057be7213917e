// The station in real time through a JACK server (jackd with its dummy driver, 48 kHz, 256-frame
// periods): lateness of the first sample of 24 timed starts, measured in a JACK recording of the
// station's ports, then xruns and the station's CPU share over a long run while busy-loop
// processes (one per core, at least two, started by the bench) keep every core busy. The server
// runs real-time, as on a station.
// A gtest program so that it shares the station fixture of the tests; never part of the suite.
// Usage: bench_jack_station [--gtest_...]   BENCH_MINUTES=10 (the loaded run, default 10)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "CpuTime.h"
#include "jack/JackStationFixture.h"

namespace pelvano::test {
namespace {

// One busy process per core (at least two), each a plain loop: children of a process with
// JACK's threads running do nothing after fork but spin. Stopped by their PIDs.
std::vector<pid_t> StartLoad() {
    std::vector<pid_t> pids;
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            volatile unsigned long x = 0;
            for (;;) x = x + 1;
        }
        if (pid > 0) pids.push_back(pid);
    }
    return pids;
}

void StopLoad(const std::vector<pid_t>& pids) {
    for (const pid_t pid : pids) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

constexpr int kStarts = 24;
constexpr int kEvery = 5;

class JackBench : public JackStationFixture {
  protected:
    JackBench() {
        realtimeServer = true;
        recordSeconds = 4 + kStarts * kEvery + 10;
    }
};

TEST_F(JackBench, LatenessXrunsAndCpuShare) {
    ASSERT_TRUE(recording->ok());
    const char* minutesText = std::getenv("BENCH_MINUTES");
    const int minutes = minutesText ? std::atoi(minutesText) : 10;
    addSound("start.wav", 2, 0.5, 0);
    addSound("bed.wav", 3600 * 4, 0.2, 440);
    const core::LocalDateTime t0 = inSeconds(4);
    std::vector<Row> rows;
    std::vector<core::LocalDateTime> due;
    for (int i = 0; i < kStarts; ++i) {
        due.push_back(at(t0, i * kEvery));
        rows.push_back({"start.wav", hms(due.back())});
    }
    const core::LocalDateTime bedAt = at(t0, kStarts * kEvery);
    rows.push_back({"bed.wav", hms(bedAt)});
    writeSchedule(rows);

    std::vector<pid_t> load;
    double cpuAtBed = 0;
    std::int64_t bedUs = clock.tickUsAt(bedAt);
    int xrunsAtBed = 0;
    runStation(at(bedAt, minutes * 60), [&] {
        if (load.empty() && clock.tickUs() >= bedUs) {
            cpuAtBed = pelvano::bench::CpuSeconds();
            xrunsAtBed = recording->xruns();
            load = StartLoad();
        }
    });
    const double cpu = pelvano::bench::CpuSeconds() - cpuAtBed;
    const std::size_t loaders = load.size();
    StopLoad(load);
    std::vector<double> lateness;
    for (const auto& d : due) {
        lateness.push_back(latenessMs(d, 0.25f));
        std::printf("  timed start %2zu: first sample %+7.2f ms from its second\n", lateness.size(),
                    lateness.back());
    }
    const std::size_t found =
        std::count_if(lateness.begin(), lateness.end(), [](double ms) { return !std::isnan(ms); });
    std::erase_if(lateness, [](double ms) { return std::isnan(ms); });
    std::sort(lateness.begin(), lateness.end());
    std::printf("Through JACK (real-time jackd, dummy driver, 48 kHz, 256-frame periods):\n");
    if (!lateness.empty()) {
        std::printf(
            "  %zu of %d timed starts found: lateness min %+.2f ms, median %+.2f ms, worst "
            "%+.2f ms\n",
            found, kStarts, lateness.front(), lateness[lateness.size() / 2],
            std::fabs(lateness.front()) > std::fabs(lateness.back()) ? lateness.front()
                                                                     : lateness.back());
    }
    std::printf(
        "  %d min playing while %zu busy-loop processes load every core: %d xruns, station "
        "CPU %.1f%% of one core\n",
        minutes, loaders, recording->xruns() - xrunsAtBed, 100.0 * cpu / (minutes * 60.0));
}

}  // namespace
}  // namespace pelvano::test
