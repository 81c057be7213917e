#pragma once
// What a mixer is given at start-up: the ports of the audio engine. The objects behind the
// pointers outlive every mixer made with them.
#include "core/ports/AudioSource.h"
#include "core/ports/Clock.h"
#include "core/ports/EventQueue.h"
#include "core/ports/SoundOutput.h"

namespace pelvano::core {

class SteppedRefills;

struct AudioServices {
    SoundOutput* output = nullptr;
    AudioSourceFactory* sources = nullptr;
    const Clock* clock = nullptr;
    // Channel events are posted here and run on the UI thread.
    EventQueue* events = nullptr;
    // Null: every channel refills on its own thread. Set (simulations): the refill passes run
    // when the simulation says, on the simulation's thread.
    SteppedRefills* steppedRefills = nullptr;
};

}  // namespace pelvano::core
