#pragma once
// Chooses the station's sound output from the PELVANO_OUTPUT environment variable:
//   unset or "portaudio"  the sound system's devices (PortAudio)
//   "null"                no sound, paced by the real clock
//   "wav:FILE"            no sound, what would be heard is written to FILE
// Throws std::invalid_argument for any other value. Called once at start-up.
#include <memory>
#include <string>

#include "core/ports/SoundOutput.h"

namespace pelvano::platform {

inline constexpr const char* kOutputVariable = "PELVANO_OUTPUT";

std::unique_ptr<core::SoundOutput> CreateSoundOutput(const std::string& selection);
// The value of PELVANO_OUTPUT, empty when unset.
std::string OutputSelectionFromEnvironment();

}  // namespace pelvano::platform
