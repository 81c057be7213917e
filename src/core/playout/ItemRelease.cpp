#include "core/playout/ItemRelease.h"

#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayoutState.h"

namespace pelvano::core {

void RunWithItemReleased(PlayoutState& state, const std::function<void()>& work) {
    if (TcbDSMixerChannel* current = state.CurrentChannel) {
        state.PlayoutHold = true;
        current->Stop();
        current->SetFileName({});
    }
    // Cleared whatever the work does: a hold left on would stop the station for good.
    struct Release {
        PlayoutState& s;
        ~Release() { s.PlayoutHold = false; }
    } release{state};
    if (work) work();
}

}  // namespace pelvano::core
