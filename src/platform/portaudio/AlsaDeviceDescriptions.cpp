#include "platform/portaudio/AlsaDeviceDescriptions.h"

#include <alsa/asoundlib.h>

#include <cstdlib>
#include <memory>

namespace pelvano::platform {

namespace {

// A hint's field; ALSA allocates it, the caller owns it.
std::string HintField(const void* hint, const char* field) {
    std::unique_ptr<char, decltype(&std::free)> value(snd_device_name_get_hint(hint, field),
                                                      &std::free);
    return value ? value.get() : "";
}

}  // namespace

std::map<std::string, std::string> AlsaDeviceDescriptions() {
    std::map<std::string, std::string> descriptions;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || hints == nullptr) return descriptions;
    for (void** hint = hints; *hint != nullptr; ++hint) {
        // No IOID: both ways. "Input": a capture-only device.
        if (HintField(*hint, "IOID") == "Input") continue;
        const std::string name = HintField(*hint, "NAME");
        std::string description = HintField(*hint, "DESC");
        description = description.substr(0, description.find('\n'));
        if (!name.empty() && !description.empty()) descriptions.emplace(name, description);
    }
    snd_device_name_free_hint(hints);
    return descriptions;
}

}  // namespace pelvano::platform
