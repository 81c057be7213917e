#include "platform/OutputSelection.h"

#include <cstdlib>
#include <stdexcept>

#include "core/app/Encoding.h"
#include "platform/portaudio/PortAudioOutput.h"
#include "platform/virtual/PacedOutput.h"
#include "platform/virtual/WavFileSink.h"

namespace pelvano::platform {

std::unique_ptr<core::SoundOutput> CreateSoundOutput(const std::string& selection) {
    if (selection.empty() || selection == "portaudio") return std::make_unique<PortAudioOutput>();
    if (selection == "null") {
        return std::make_unique<PacedOutput>(core::Utf8ToGbk("无声输出"), nullptr);
    }
    const std::string wavPrefix = "wav:";
    if (selection.compare(0, wavPrefix.size(), wavPrefix) == 0 &&
        selection.size() > wavPrefix.size()) {
        const std::string path = selection.substr(wavPrefix.size());
        return std::make_unique<PacedOutput>(core::Utf8ToGbk("录音输出: " + path),
                                             std::make_unique<WavFileSink>(path));
    }
    throw std::invalid_argument(std::string(kOutputVariable) + ": unknown output '" + selection +
                                "' (use null, wav:FILE or portaudio)");
}

std::string OutputSelectionFromEnvironment() {
    const char* value = std::getenv(kOutputVariable);
    return value ? value : "";
}

}  // namespace pelvano::platform
