#pragma once
// The sound system: a list of output devices and a stream that pulls mixed frames from a
// renderer at the device's rate. Adapters: PortAudio, the null output (paced by the real
// clock), WAV capture, and the virtual output that a simulation steps explicitly.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelvano::core {

struct OutputDevice {
    std::string description;  // GBK, as the device selector shows it
};

struct OutputFormat {
    std::uint32_t sampleRate = 44100;
    std::uint16_t channels = 2;  // 1 or 2, interleaved float frames
};

// What an output stream calls.
class AudioRenderer {
  public:
    virtual ~AudioRenderer() = default;
    // Writes frames × channels floats; the first of them is heard at heardAtUs (Clock::tickUs
    // scale), the rest one device frame apart. Called from the audio callback: no locks, no
    // allocation.
    virtual void render(float* out, std::uint32_t frames, std::int64_t heardAtUs) noexcept = 0;
    // The device stopped working. Any thread, once per loss.
    virtual void deviceLost(const std::string& reason) noexcept = 0;
    // The device plays again after a loss (re-opened, or its callbacks resumed). Any thread.
    virtual void deviceRestored() noexcept = 0;
};

// An open device; destroying it stops the callbacks before it returns.
class OutputStream {
  public:
    virtual ~OutputStream() = default;
    // The format the device accepted (it may differ from the request).
    virtual OutputFormat format() const = 0;
};

// UI thread.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Built once when the adapter is created; entry 0 is the system default device.
    virtual const std::vector<OutputDevice>& devices() const = 0;
    // Throws std::runtime_error when the device cannot be opened.
    virtual std::unique_ptr<OutputStream> open(int deviceIndex, const OutputFormat& format,
                                               AudioRenderer& renderer) = 0;
};

}  // namespace pelvano::core
