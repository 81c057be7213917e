#include "platform/portaudio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>

#include "core/app/Encoding.h"
#include "platform/audio/DeviceWatch.h"
#include "platform/clock/SystemClock.h"
#include "platform/jack/JackOutputStream.h"
#include "platform/portaudio/AlsaDeviceDescriptions.h"

namespace pelvano::platform {

namespace {

// The latency asked for: enough for a loaded machine (the channels' rings hold seconds).
constexpr double kMinLatencySeconds = 0.1;

// PortAudio is not thread-safe: every call outside its callbacks holds this lock (the UI
// thread lists and opens, a watch thread re-opens).
std::mutex& PaLock() {
    static std::mutex lock;
    return lock;
}

// "name (host API)", UTF-8.
std::string DeviceName(int paDevice) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
    if (info == nullptr) return {};
    std::string name = info->name ? info->name : "";
    const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
    if (api != nullptr && api->name != nullptr) name += std::string(" (") + api->name + ")";
    return name;
}

// The device of that name now, or the default device for an empty name; paNoDevice when none.
int FindDevice(const std::string& name) {
    if (name.empty()) return Pa_GetDefaultOutputDevice();
    for (int i = 0; i < Pa_GetDeviceCount(); ++i) {
        if (DeviceName(i) == name) return i;
    }
    return paNoDevice;
}

}  // namespace

// Pulls the renderer from PortAudio's callback, telling it when each block will be heard. Its
// DeviceWatch keeps time while the device is lost; a re-open re-initialises PortAudio (the only
// way it sees a sound system that came back) and finds the device again by its name.
class PortAudioOutput::Stream final : public core::OutputStream {
  public:
    Stream(std::string deviceName, const core::OutputFormat& format, core::AudioRenderer& renderer)
        : deviceName_(std::move(deviceName)), format_(format) {
        std::lock_guard<std::mutex> lock(PaLock());
        if (Pa_Initialize() != paNoError) throw std::runtime_error("no sound system");
        try {
            const int device = FindDevice(deviceName_);
            if (device == paNoDevice) throw std::runtime_error("no such device");
            PaStream* stream = openStream(device, true);
            // The watch exists before the first callback.
            watch_ =
                std::make_unique<DeviceWatch>(renderer, format_, [this](bool) { return reopen(); });
            start(stream);
        } catch (...) {
            Pa_Terminate();
            throw;
        }
        watch_->start();
    }

    ~Stream() override {
        // No re-open may run while the stream goes; its callbacks use the watch until closed.
        watch_->stop();
        std::lock_guard<std::mutex> lock(PaLock());
        close();
        Pa_Terminate();
    }

    core::OutputFormat format() const override { return format_; }

  private:
    // Opens the stream; the first open may settle the rate, a re-open keeps it. Throws.
    PaStream* openStream(int device, bool first) {
        PaStreamParameters params{};
        params.device = device;
        params.channelCount = format_.channels;
        params.sampleFormat = paFloat32;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
        if (info == nullptr) throw std::runtime_error("no such device");
        params.suggestedLatency = std::max(info->defaultHighOutputLatency, kMinLatencySeconds);
        double rate = format_.sampleRate;
        if (first && Pa_IsFormatSupported(nullptr, &params, rate) != paFormatIsSupported) {
            rate = info->defaultSampleRate;
        }
        PaStream* stream = nullptr;
        const PaError err =
            Pa_OpenStream(&stream, nullptr, &params, rate, paFramesPerBufferUnspecified, paNoFlag,
                          &Stream::callback, this);
        if (err != paNoError) throw std::runtime_error(Pa_GetErrorText(err));
        // A stream that ends by itself lost its device (a sound server that went away): the
        // watch hears of it at once rather than after the stall limit.
        Pa_SetStreamFinishedCallback(stream, &Stream::finished);
        if (const PaStreamInfo* si = Pa_GetStreamInfo(stream)) {
            latencyUs_.store(static_cast<std::int64_t>(si->outputLatency * 1e6),
                             std::memory_order_relaxed);
        }
        format_.sampleRate = static_cast<std::uint32_t>(rate);
        return stream;
    }

    void start(PaStream* stream) {
        stream_ = stream;
        if (const PaError started = Pa_StartStream(stream_); started != paNoError) {
            close();
            throw std::runtime_error(Pa_GetErrorText(started));
        }
    }

    void close() {
        if (stream_ == nullptr) return;
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        stream_ = nullptr;
    }

    bool reopen() {
        std::lock_guard<std::mutex> lock(PaLock());
        close();
        // Only a fresh PortAudio sees a sound system that came back. The stream holds the one
        // initialisation, so this one is real.
        Pa_Terminate();
        if (Pa_Initialize() != paNoError) return false;
        const int device = FindDevice(deviceName_);
        if (device == paNoDevice) return false;
        try {
            start(openStream(device, false));
        } catch (const std::exception&) {
            return false;
        }
        watch_->reopened();
        return true;
    }

    // Also runs when the stream is closed on purpose: a re-open clears the mark, and the watch
    // is stopped before the last close.
    static void finished(void* self) { static_cast<Stream*>(self)->watch_->deviceGone(); }

    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* self) {
        auto* s = static_cast<Stream*>(self);
        // The output's own estimate of when this block reaches the converter, else its latency.
        std::int64_t delayUs = s->latencyUs_.load(std::memory_order_relaxed);
        if (time != nullptr && time->outputBufferDacTime > 0.0 && time->currentTime > 0.0) {
            const double ahead = time->outputBufferDacTime - time->currentTime;
            if (ahead >= 0.0 && ahead < 2.0) delayUs = static_cast<std::int64_t>(ahead * 1e6);
        }
        s->watch_->renderFromCallback(static_cast<float*>(output),
                                      static_cast<std::uint32_t>(frames), SteadyUs() + delayUs);
        return paContinue;
    }

    const std::string deviceName_;  // empty: the default device
    core::OutputFormat format_;
    PaStream* stream_ = nullptr;  // under PaLock
    std::atomic<std::int64_t> latencyUs_{0};
    std::unique_ptr<DeviceWatch> watch_;
};

PortAudioOutput::PortAudioOutput() {
    devices_.push_back({core::Utf8ToGbk("主声音驱动程序")});
    entries_.emplace_back();
    std::lock_guard<std::mutex> lock(PaLock());
    initialised_ = Pa_Initialize() == paNoError;
    if (!initialised_) return;
    const std::map<std::string, std::string> alsaDescriptions = AlsaDeviceDescriptions();
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || info->maxOutputChannels < 1) continue;
        const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
        const bool jack = api != nullptr && api->type == paJACK;
        // ALSA's plug-in devices ("pulse", "default") carry their description: the way to the
        // desktop's sound server is found by what it is, not by a bare name.
        std::string shown = DeviceName(i);
        if (api != nullptr && api->type == paALSA && info->name != nullptr) {
            if (const auto it = alsaDescriptions.find(info->name); it != alsaDescriptions.end()) {
                shown += ": " + it->second;
            }
        }
        devices_.push_back({core::Utf8ToGbk(shown)});
        entries_.push_back({DeviceName(i), jack && info->name ? info->name : ""});
    }
    // PortAudio is initialised only while one of its streams plays: its JACK host API holds a
    // client of the server for as long, and libjack crashes when a client of a server that
    // died is closed after a new server started.
    Pa_Terminate();
}

std::unique_ptr<core::OutputStream> PortAudioOutput::open(int deviceIndex,
                                                          const core::OutputFormat& format,
                                                          core::AudioRenderer& renderer) {
    if (!initialised_) throw std::runtime_error("no sound system");
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(entries_.size())) {
        throw std::runtime_error("no such device");
    }
    const Entry& entry = entries_[static_cast<std::size_t>(deviceIndex)];
    if (!entry.jackClient.empty()) {
        return std::make_unique<JackOutputStream>(entry.jackClient, format, renderer);
    }
    return std::make_unique<Stream>(entry.name, format, renderer);
}

}  // namespace pelvano::platform
