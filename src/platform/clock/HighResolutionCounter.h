#pragma once
// Whether the machine has a high-resolution monotonic counter (the system's timers, fades and
// refills count milliseconds on it). Any thread.
namespace pelvano::platform {

// True when CLOCK_MONOTONIC exists and resolves a millisecond or finer.
bool HighResolutionCounterAvailable();

}  // namespace pelvano::platform
