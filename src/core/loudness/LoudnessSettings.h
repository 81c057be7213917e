#pragma once
// The loudness settings, keys of section [Linux] of the station's settings file. A station
// folder without them (one moved from Windows) plays its files as they are. Loading never
// writes; a save rewrites only the keys whose value changed. UI thread.
#include <string>

#include "core/loudness/CueLevel.h"

namespace pelvano::core {

struct LoudnessSettings {
    static constexpr double kMinTargetLufs = -40.0;
    static constexpr double kMaxTargetLufs = -10.0;
    static constexpr double kMinCueLevelDbfs = -100.0;
    static constexpr double kMaxCueLevelDbfs = -1.0;

    bool Loudness = false;      // each item plays at the target loudness
    double TargetLUFS = -23.0;  // EBU R128
    bool TrimSilence = false;   // items start at their cue-in and end at their cue-out
    // dBFS: where sound begins and ends, as the measurement reads it.
    double CueLevel = kDefaultCueLevelDbfs;

    bool operator==(const LoudnessSettings&) const = default;
};

// Missing or unreadable keys read as the defaults; numbers outside their ranges are clamped. The
// cue level reads as the measurement reads it.
LoudnessSettings LoadLoudnessSettings(const std::string& settingsFile);
// Writes the keys whose stored value differs, in one atomic rewrite; false when the file could
// not be rewritten (it is then unchanged).
bool SaveLoudnessSettings(const std::string& settingsFile, const LoudnessSettings& settings);
// The settings as a load would return them.
LoudnessSettings ValidLoudnessSettings(LoudnessSettings settings);

}  // namespace pelvano::core
