#include "core/playout/MeasuringChannel.h"

#include <stdexcept>

#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayoutState.h"

namespace pelvano::core {

long long MeasuringChannel::measureMs(const std::string& nativePath) {
    TcbDSMixerChannel* ch = state_.PlayoutChannels[kMeasureChannel];
    if (!ch) throw std::runtime_error("No file opened");
    ch->SetFileName(nativePath);  // the engine's errors reach the caller
    // A length the open only estimated is counted: the schedule keeps the exact one.
    if (const auto job = ch->ExactDurationJob()) {
        if (const auto exact = job()) ch->SetExactDuration(nativePath, *exact);
    }
    long long length = 0;
    try {
        ch->Play();
        ch->Pause();
        length = ch->Length();
    } catch (...) {
        ch->Stop();
        throw;
    }
    ch->Stop();
    ch->SetFileName({});  // let go of the file, so that it can be rewritten
    return length;
}

}  // namespace pelvano::core
