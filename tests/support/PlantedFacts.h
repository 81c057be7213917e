#pragma once
// Loudness facts written out by a test, as a measurement would have found them.
#include "core/loudness/LoudnessFacts.h"

namespace pelvano::test {

inline core::LoudnessFacts Facts(double lufs, double peak, double cueIn = 0, double cueOut = 0,
                                 bool estimate = false) {
    core::LoudnessFacts f;
    f.integratedLufs = lufs;
    f.truePeakDbtp = peak;
    f.cueInSeconds = cueIn;
    f.cueOutSeconds = cueOut;
    f.estimate = estimate;
    return f;
}

}  // namespace pelvano::test
