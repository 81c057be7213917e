#pragma once
// Measures one file: EBU R128 integrated loudness, loudness range and true peak (libebur128,
// all channels) and its cue points, from the float frames of the FFmpeg adapter. Any thread;
// slow (it decodes the file), so never the UI thread.
#include <atomic>
#include <optional>
#include <string>

#include "core/loudness/CueLevel.h"
#include "core/loudness/LoudnessFacts.h"

namespace pelvano::platform {

// A quick estimate reads this much of the start of a file.
inline constexpr double kEstimateSeconds = 10.0;
// What a silent file reads: nothing passes the absolute gate, no sample above this.
inline constexpr double kSilentLufs = -70.0;
inline constexpr double kSilentDbtp = -100.0;

struct MeasureRequest {
    std::string path;  // native
    double cueLevelDbfs = core::kDefaultCueLevelDbfs;
    // Stop after this many seconds of audio (an estimate); 0: the whole file.
    double firstSeconds = 0.0;
    // Checked between blocks: set, the measurement ends at once with nothing.
    const std::atomic<bool>* stop = nullptr;
};

// The facts, with estimate set when firstSeconds cut the file short (an estimate's cue-out is 0:
// not known); nothing when the file cannot be decoded or the measurement was stopped.
std::optional<core::LoudnessFacts> MeasureLoudness(const MeasureRequest& request);

}  // namespace pelvano::platform
