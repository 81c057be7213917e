#pragma once
// A station in real time on a real sound server, played through PortAudio and recorded by the
// server's side: the device is found by the start of its name in the list the station shows,
// and each start is timed in the recording.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/app/Encoding.h"
#include "platform/portaudio/PortAudioOutput.h"
#include "support/HeardRecording.h"
#include "support/RealtimeStationFixture.h"

namespace pelvano::test {

class RecordedStationFixture : public RealtimeStationFixture {
  protected:
    // What the server played so far; null while there is no recorder.
    virtual const HeardRecording* heard() const = 0;

    // Straight play (no manual operation, no section cycling, short fades) on the first device
    // of the list whose name starts with `prefix`. Its index, 0 when there is none.
    int playOn(const std::string& prefix) {
        setKey("chkManOper", "NO");
        setKey("chkSectCycle", "NO");
        setKey("spIN", "0");
        setKey("spOut", "2");
        setKey("spOver", "2");
        output = std::make_unique<platform::PortAudioOutput>();
        for (std::size_t i = 1; i < output->devices().size(); ++i) {
            if (core::GbkToUtf8(output->devices()[i].description).rfind(prefix, 0) == 0) {
                setKey("cbDevID", std::to_string(i));
                return static_cast<int>(i);
            }
        }
        return 0;
    }

    // Milliseconds from `due` to the first recorded sample above the level, searching from
    // half a second before it; NaN when none.
    double latenessMs(const core::LocalDateTime& due, float level) const {
        const std::int64_t dueUs = clock.tickUsAt(due);
        const std::int64_t heardUs = firstHeardUs(dueUs - 500000, level);
        return heardUs == 0 ? NAN : static_cast<double>(heardUs - dueUs) / 1000.0;
    }

    // When the first recorded sample above the level heard at or after fromUs was heard
    // (Clock::tickUs scale); 0 when none.
    std::int64_t firstHeardUs(std::int64_t fromUs, float level) const {
        const HeardRecording* recording = heard();
        if (recording == nullptr) return 0;
        for (std::size_t i = 0; i < recording->frames(); ++i) {
            const std::int64_t heardUs = recording->heardUsOf(i);
            if (heardUs >= fromUs && std::fabs(recording->sample(i)) > level) return heardUs;
        }
        return 0;
    }
};

}  // namespace pelvano::test
