#pragma once
// A sound output that hands a copy of everything it plays to a MixRing: it opens the real
// output with a renderer of its own, which lets the station's renderer fill the device's block
// and then pushes that block into the ring. The device's timing is untouched: the copy is a
// few hundred float stores per callback and never waits (see MixRing).
//
// Only one open stream at a time feeds the ring (it has a single producer); a second stream
// opened while the first lives plays without the copy.
// UI thread, like every SoundOutput; the copy happens on the output's audio callback.
#include <atomic>
#include <memory>

#include "core/ports/SoundOutput.h"
#include "core/stream/MixRing.h"

namespace pelvano::core {

class TeeSoundOutput final : public SoundOutput {
  public:
    // Both outlive this output and every stream it opens.
    TeeSoundOutput(SoundOutput& device, MixRing& ring) : device_(device), ring_(ring) {}

    const std::vector<OutputDevice>& devices() const override { return device_.devices(); }
    std::unique_ptr<OutputStream> open(int deviceIndex, const OutputFormat& format,
                                       AudioRenderer& renderer) override;

  private:
    class Stream;
    SoundOutput& device_;
    MixRing& ring_;
    std::atomic<bool> feeding_{false};
};

}  // namespace pelvano::core
