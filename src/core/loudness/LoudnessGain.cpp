#include "core/loudness/LoudnessGain.h"

#include <algorithm>
#include <cmath>

namespace pelvano::core {

namespace {

std::int32_t millisecondsOf(double seconds) {
    return static_cast<std::int32_t>(std::lround(seconds * 1000.0));
}

}  // namespace

double LoudnessGain::gainDb(const LoudnessFacts& facts, double targetLufs) {
    if (!std::isfinite(facts.integratedLufs)) return 0.0;
    double gain = std::min(targetLufs - facts.integratedLufs, kMaxBoostDb);
    if (std::isfinite(facts.truePeakDbtp))
        gain = std::min(gain, kTruePeakCeilingDbtp - facts.truePeakDbtp);
    return gain;
}

ItemLevelling LoudnessGain::forItem(const std::optional<LoudnessFacts>& facts,
                                    const LoudnessSettings& settings, bool leftAsItIs) {
    ItemLevelling levelling;
    if (!facts || leftAsItIs) return levelling;
    if (settings.Loudness) levelling.gainDb = gainDb(*facts, settings.TargetLUFS);
    const bool sounds = facts->cueOutSeconds > facts->cueInSeconds;
    if (settings.TrimSilence && sounds && facts->cueInSeconds >= 0.0) {
        levelling.cueInMs = millisecondsOf(facts->cueInSeconds);
        if (!facts->estimate) levelling.cueOutMs = millisecondsOf(facts->cueOutSeconds);
    }
    return levelling;
}

}  // namespace pelvano::core
