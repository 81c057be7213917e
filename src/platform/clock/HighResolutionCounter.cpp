#include "platform/clock/HighResolutionCounter.h"

#include <time.h>

namespace pelvano::platform {

bool HighResolutionCounterAvailable() {
    timespec resolution{};
    if (::clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return false;
    return resolution.tv_sec == 0 && resolution.tv_nsec <= 1000000;
}

}  // namespace pelvano::platform
