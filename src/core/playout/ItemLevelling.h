#pragma once
// The loudness gain and the cue points a start gives the item on its channel, from what the
// station knows of the file: the book's full measurement first, else the facts the preparer
// took with the file (cached or a quick estimate). Decided once, before the first sample: the
// gain never changes while the item is on air. UI thread; no disk.
#include <optional>

#include "core/loudness/LoudnessFacts.h"
#include "core/loudness/LoudnessGain.h"
#include "core/playout/PlayoutContext.h"

namespace pelvano::core {

class TcbDSMixerChannel;

// Applies the levelling to the channel's open file (before Play) and returns it; nothing is
// applied when the station does not level or the file lies in the chimes folder.
ItemLevelling LevelItem(const PlayoutContext& context, TcbDSMixerChannel& channel,
                        const std::optional<LoudnessFacts>& taken);

}  // namespace pelvano::core
