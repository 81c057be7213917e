#pragma once
// What is known of one file's loudness and of the silence at its edges. Measured once per file
// (EBU R128) and kept in the station's cache; a quick estimate from the file's first seconds
// stands in until the full measurement is there.
#include <optional>

namespace pelvano::core {

struct LoudnessFacts {
    double integratedLufs = 0.0;  // EBU R128 integrated loudness
    double lraLu = 0.0;           // loudness range
    double truePeakDbtp = 0.0;    // highest true peak of all channels
    double cueInSeconds = 0.0;    // first instant the short-term level rises above the cue level
    double cueOutSeconds = 0.0;   // last such instant; 0 when the file never rises above it
    bool estimate = false;        // from the first seconds only, not the whole file
};

}  // namespace pelvano::core
