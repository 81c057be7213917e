#include "core/playout/ItemRelease.h"

#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayerView.h"

namespace pelvano::core {

void SetPlayoutHold(PlayoutState& state, PlayerView& view, PlayoutHoldOwner owner, bool on) {
    const unsigned owners = on ? state.PlayoutHoldOwners | owner : state.PlayoutHoldOwners & ~owner;
    const bool changed = owners != state.PlayoutHoldOwners;
    state.PlayoutHoldOwners = owners;
    state.PlayoutHold = owners != 0;
    if (changed) view.showPlayoutHold(owners);
}

void RunWithItemReleased(PlayoutState& state, PlayerView& view, const std::function<void()>& work) {
    if (TcbDSMixerChannel* current = state.CurrentChannel) {
        SetPlayoutHold(state, view, kHoldByTagWindow, true);
        current->Stop();
        current->SetFileName({});
    }
    // Let go whatever the work does: a hold left on would stop the station for good.
    struct Release {
        PlayoutState& s;
        PlayerView& v;
        ~Release() { SetPlayoutHold(s, v, kHoldByTagWindow, false); }
    } release{state, view};
    if (work) work();
}

}  // namespace pelvano::core
