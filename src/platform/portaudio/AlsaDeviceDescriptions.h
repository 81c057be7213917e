#pragma once
// ALSA's own words for its named devices: "PulseAudio Sound Server" for `pulse`, "PipeWire
// Sound Server" for `pipewire`, and for `default` what takes it (a sound server's plug-in
// describes itself there while its server runs). PortAudio lists these by their bare names; an
// operator picking the desktop's sound server needs the description to find it.
#include <map>
#include <string>

namespace pelvano::platform {

// Device name -> the first line of its description, for every output device ALSA hints at;
// empty when ALSA has none.
std::map<std::string, std::string> AlsaDeviceDescriptions();

}  // namespace pelvano::platform
