#pragma once
// How one item is levelled on air, decided once when it starts: the gain added in its channel
// (on top of the volume and the fades) and the part of the file it plays. The file itself is
// never changed. Plain values; any thread.
#include <cstdint>
#include <optional>

#include "core/loudness/LoudnessFacts.h"
#include "core/loudness/LoudnessSettings.h"

namespace pelvano::core {

struct ItemLevelling {
    double gainDb = 0.0;
    std::int32_t cueInMs = 0;   // where the item starts
    std::int32_t cueOutMs = 0;  // where it ends; 0: the file's end

    bool operator==(const ItemLevelling&) const = default;
};

class LoudnessGain {
  public:
    // No item is raised so far that its true peak passes this.
    static constexpr double kTruePeakCeilingDbtp = -1.0;
    // A nearly silent file is not raised into loud noise.
    static constexpr double kMaxBoostDb = 20.0;

    // target − integrated loudness, lowered so that the true peak stays at the ceiling; 0 for
    // facts without a measurable loudness (silence).
    static double gainDb(const LoudnessFacts& facts, double targetLufs);

    // What a start applies. Nothing for a file left as it is (time signals, chimes) or without
    // facts; the gain only with Loudness on, the cue points only with TrimSilence on. An
    // estimate covers the file's first seconds only: its cue-in holds, its cue-out is unknown.
    static ItemLevelling forItem(const std::optional<LoudnessFacts>& facts,
                                 const LoudnessSettings& settings, bool leftAsItIs);
};

}  // namespace pelvano::core
