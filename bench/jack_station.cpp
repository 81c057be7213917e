// The station in real time through a JACK server (jackd with its dummy driver, 48 kHz, 256-frame
// periods): lateness of the first sample of 24 timed starts, measured in a JACK recording of the
// station's ports, then xruns and the station's CPU share over a long run while another process
// keeps both cores busy.
// A gtest program so that it shares the station fixture of the tests; never part of the suite.
// Usage: bench_jack_station [--gtest_...]   BENCH_MINUTES=10 (the loaded run, default 10)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "CpuTime.h"
#include "jack/JackStationFixture.h"

namespace pelvano::test {
namespace {

// A process that keeps every core busy until it is stopped by its PID.
pid_t StartLoad() {
    const pid_t pid = fork();
    if (pid == 0) {
        const auto spin = [] {
            std::atomic<unsigned long> x{0};
            for (;;) x.fetch_add(1, std::memory_order_relaxed);
        };
        const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
        for (unsigned i = 1; i < cores; ++i) std::thread(spin).detach();
        spin();
    }
    return pid;
}

class JackBench : public JackStationFixture {};

TEST_F(JackBench, LatenessXrunsAndCpuShare) {
    ASSERT_TRUE(recording->ok());
    const char* minutesText = std::getenv("BENCH_MINUTES");
    const int minutes = minutesText ? std::atoi(minutesText) : 10;
    constexpr int kStarts = 24;
    constexpr int kEvery = 5;
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

    pid_t load = -1;
    double cpuAtBed = 0;
    std::int64_t bedUs = clock.tickUsAt(bedAt);
    int xrunsAtBed = 0;
    runStation(at(bedAt, minutes * 60), [&] {
        if (load < 0 && clock.tickUs() >= bedUs) {
            cpuAtBed = pelvano::bench::CpuSeconds();
            xrunsAtBed = recording->xruns();
            load = StartLoad();
        }
    });
    const double cpu = pelvano::bench::CpuSeconds() - cpuAtBed;
    if (load > 0) {
        kill(load, SIGKILL);
        waitpid(load, nullptr, 0);
    }
    std::vector<double> lateness;
    for (const auto& d : due) lateness.push_back(latenessMs(d, 0.25f));
    std::sort(lateness.begin(), lateness.end());
    std::printf("Through JACK (48 kHz, 256-frame periods), %d timed starts:\n", kStarts);
    std::printf("  first-sample lateness  min %+.2f ms  median %+.2f ms  worst %+.2f ms\n",
                lateness.front(), lateness[lateness.size() / 2],
                std::max(std::fabs(lateness.front()), std::fabs(lateness.back())));
    std::printf(
        "  %d min playing while another process loads every core: %d xruns, station CPU %.1f%% of "
        "one core\n",
        minutes, recording->xruns() - xrunsAtBed, 100.0 * cpu / (minutes * 60.0));
}

}  // namespace
}  // namespace pelvano::test
