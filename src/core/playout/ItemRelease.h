#pragma once
// The playout hold and its owners. While any owner holds it, PlayoutHold keeps the automatic
// playout decisions (next row, natural end) off; it ends only when the last owner lets go, so
// closing one window never releases what another still holds. The player is told of every
// change (a held station must never be silent without a word).
//
// Rewriting the file of the item on air (the tag window) needs the file closed: the item's
// channel is stopped and its file closed, and the tag window holds the playout while the work
// runs. The item is not restarted; once no owner holds the playout any more, the scheduler
// moves on to the next row on its first tick. UI thread.
#include <functional>

#include "core/playout/PlayoutState.h"

namespace pelvano::core {

class PlayerView;

void SetPlayoutHold(PlayoutState& state, PlayerView& view, PlayoutHoldOwner owner, bool on);

void RunWithItemReleased(PlayoutState& state, PlayerView& view, const std::function<void()>& work);

}  // namespace pelvano::core
