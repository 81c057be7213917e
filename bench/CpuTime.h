#pragma once
// CPU seconds (user + system) used so far by this process (RUSAGE_SELF) or by its waited-for
// children (RUSAGE_CHILDREN): the benches compare CPU time because a shared machine disturbs it
// least.
#include <sys/resource.h>

namespace pelvano::bench {

inline double CpuSeconds(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace pelvano::bench
