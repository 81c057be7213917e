#pragma once
// Rewriting the file of the item on air (the tag window) needs the file closed: the item's
// channel is stopped and its file closed, and PlayoutHold keeps the natural-end handling off
// while the work runs. The item is not restarted; the scheduler moves on to the next row on its
// first tick afterwards. UI thread.
#include <functional>

namespace pelvano::core {

struct PlayoutState;

void RunWithItemReleased(PlayoutState& state, const std::function<void()>& work);

}  // namespace pelvano::core
