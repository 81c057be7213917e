#pragma once
// One output device and the channels created on it. The device is opened lazily, on the first
// buffer a channel needs; the "device object" is our software mixer, pulled by the output
// stream of the SoundOutput port.
//
// Threading: UI thread only, except what the channels document. The mixer owns its channels.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/audio/AudioServices.h"
#include "core/audio/SoftwareMixer.h"
#include "core/audio/TcbDSMixerChannel.h"

namespace pelvano::core {

enum class TacahBitsPerSample { bs8Bit = 0, bs16Bit = 1 };
enum class TacahLevel { lNormal = 0, lPriority = 1, lExclusive = 2 };

class TcbDSMixer {
  public:
    explicit TcbDSMixer(const AudioServices& services);
    // Close, then frees every channel still registered.
    ~TcbDSMixer();
    TcbDSMixer(const TcbDSMixer&) = delete;
    TcbDSMixer& operator=(const TcbDSMixer&) = delete;

    TcbDSMixerChannel& AddChannel();
    void FreeChannel(TcbDSMixerChannel& channel);
    const std::vector<std::unique_ptr<TcbDSMixerChannel>>& ChannelList() const { return channels_; }

    // Opens the device at DeviceIndex if it is not open; a failure raises SilentAbort.
    void Open();
    // Releases every channel's device buffer (the channels stop), then the device.
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }
    SoftwareMixer& GetDirectSound();
    // The output's peak since the last call (0 .. 1); 0 while the device is not open.
    float TakeOutputPeak() { return device_ ? device_->takeOutputPeak() : 0.0f; }

    int DeviceCount() const;
    // The device's description (GBK); std::out_of_range outside the list.
    std::string GetDeviceName(int index) const;
    int DeviceIndex() const { return deviceIndex_; }
    // Ignored outside 0 .. DeviceCount − 1; takes effect at the next Open.
    void SetDeviceIndex(int index);

    std::int32_t Frequency() const { return frequency_; }
    void SetFrequency(std::int32_t hz);  // clamped to 100 .. 100000
    bool Stereo() const { return stereo_; }
    void SetStereo(bool stereo) { stereo_ = stereo; }
    TacahBitsPerSample BitsPerSample() const { return bitsPerSample_; }
    void SetBitsPerSample(TacahBitsPerSample bits) { bitsPerSample_ = bits; }
    TacahLevel Level() const { return level_; }
    void SetLevel(TacahLevel level) { level_ = level; }
    std::uint32_t SpeakerConfig() const { return speakerConfig_; }
    void SetSpeakerConfig(std::uint32_t config) { speakerConfig_ = config; }

    // Called on the UI thread when the open device stops working (after which the SilentAbort
    // is raised there once). The channels keep their state; the output keeps consuming frames.
    std::function<void(const std::string& reason)> OnDeviceLost;
    // Called on the UI thread when the device plays again after a loss.
    std::function<void()> OnDeviceRestored;

    const AudioServices& services() const { return services_; }

  private:
    std::unique_ptr<SoftwareMixer> makeDevice(const OutputFormat& format);
    void reportDeviceLost(const std::string& reason);

    AudioServices services_;
    TacahBitsPerSample bitsPerSample_ = TacahBitsPerSample::bs16Bit;
    bool stereo_ = true;
    std::int32_t frequency_ = 44100;
    TacahLevel level_ = TacahLevel::lPriority;
    std::uint32_t speakerConfig_ = 4;
    int deviceIndex_ = 0;
    std::unique_ptr<SoftwareMixer> device_;
    std::unique_ptr<OutputStream> stream_;
    std::vector<std::unique_ptr<TcbDSMixerChannel>> channels_;
    std::shared_ptr<TcbDSMixer*> alive_;
};

}  // namespace pelvano::core
