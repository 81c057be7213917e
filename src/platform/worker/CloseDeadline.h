#pragma once
// The last resort of a close: the program ends within a bound even when freeing the station
// would wait for a thread stuck in the kernel (a refill reading a hung share). Called once the
// close keys are written, before the station is destroyed; a close that finishes in time
// returns from main as usual. Any thread.
#include <chrono>

namespace pelvano::platform {

void EndProcessUnlessClosedWithin(std::chrono::milliseconds bound, int status);

}  // namespace pelvano::platform
