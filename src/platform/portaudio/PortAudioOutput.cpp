#include "platform/portaudio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/app/Encoding.h"

namespace pelvano::platform {

namespace {

constexpr auto kWatchPeriod = std::chrono::milliseconds(250);
// A stream whose callback has not run for this long has lost its device.
constexpr auto kStallLimit = std::chrono::milliseconds(2000);
// While the device is lost: how often the mixer is pulled, and a re-open is tried.
constexpr auto kPacePeriod = std::chrono::milliseconds(10);
constexpr auto kReopenPeriod = std::chrono::milliseconds(1000);
// The latency asked for: enough for a loaded machine (the channels' rings hold seconds).
constexpr double kMinLatencySeconds = 0.1;

std::int64_t SteadyUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
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

// Pulls the renderer from PortAudio's callback, telling it when each block will be heard. A
// watcher thread notices when the callbacks stop (the server went away, the machine stalled):
// it reports the loss once, pulls the renderer by the real clock so that the station keeps
// time, and re-opens the device (PortAudio re-initialised, the device found again by name)
// until it plays again, which it reports too. A stall that ends resumes the callbacks' sound.
class PortAudioOutput::Stream final : public core::OutputStream {
  public:
    Stream(std::string deviceName, const core::OutputFormat& format, core::AudioRenderer& renderer)
        : renderer_(renderer), deviceName_(std::move(deviceName)), format_(format) {
        const int device = FindDevice(deviceName_);
        if (device == paNoDevice) throw std::runtime_error("no such device");
        open(device, true);
        watcher_ = std::thread([this] { watch(); });
    }

    ~Stream() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        watcher_.join();
        close();
    }

    core::OutputFormat format() const override { return format_; }

  private:
    // Opens and starts the stream; the first open may settle the rate, a re-open keeps it.
    void open(int device, bool first) {
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
        if (const PaStreamInfo* si = Pa_GetStreamInfo(stream)) {
            latencyUs_.store(static_cast<std::int64_t>(si->outputLatency * 1e6),
                             std::memory_order_relaxed);
        }
        format_.sampleRate = static_cast<std::uint32_t>(rate);
        lastCallbackUs_.store(SteadyUs(), std::memory_order_relaxed);
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

    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* self) {
        auto* s = static_cast<Stream*>(self);
        s->lastCallbackUs_.store(SteadyUs(), std::memory_order_relaxed);
        if (s->lost_.load(std::memory_order_acquire)) {
            std::fill_n(static_cast<float*>(output), frames * s->format_.channels, 0.0f);
            return paContinue;
        }
        // The output's own estimate of when this block reaches the converter, else its latency.
        std::int64_t delayUs = s->latencyUs_.load(std::memory_order_relaxed);
        if (time != nullptr && time->outputBufferDacTime > 0.0 && time->currentTime > 0.0) {
            const double ahead = time->outputBufferDacTime - time->currentTime;
            if (ahead >= 0.0 && ahead < 2.0) delayUs = static_cast<std::int64_t>(ahead * 1e6);
        }
        s->renderer_.render(static_cast<float*>(output), static_cast<std::uint32_t>(frames),
                            SteadyUs() + delayUs);
        return paContinue;
    }

    bool callbacksRunning() const {
        return SteadyUs() - lastCallbackUs_.load(std::memory_order_relaxed) <
               std::chrono::duration_cast<std::chrono::microseconds>(kStallLimit).count();
    }

    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, kWatchPeriod, [this] { return stopping_; })) {
            if (stream_ != nullptr && Pa_IsStreamActive(stream_) == 1 && callbacksRunning())
                continue;
            lost_.store(true, std::memory_order_release);
            renderer_.deviceLost(stream_ == nullptr ? "the sound device stopped"
                                                    : "the sound device stopped responding");
            if (!recover(lock)) return;
            lost_.store(false, std::memory_order_release);
            renderer_.deviceRestored();
        }
    }

    // Pulls the mixer by the real clock until the callbacks resume or a re-open plays; false
    // when the stream is being destroyed.
    bool recover(std::unique_lock<std::mutex>& lock) {
        std::vector<float> block;
        auto last = std::chrono::steady_clock::now();
        auto nextReopen = last + kReopenPeriod;
        double owed = 0.0;
        while (!wake_.wait_for(lock, kPacePeriod, [this] { return stopping_; })) {
            const auto now = std::chrono::steady_clock::now();
            owed += std::chrono::duration<double>(now - last).count() * format_.sampleRate;
            last = now;
            const auto frames = static_cast<std::uint32_t>(owed);
            owed -= frames;
            block.resize(static_cast<std::size_t>(frames) * format_.channels);
            if (frames > 0) renderer_.render(block.data(), frames, SteadyUs());
            if (stream_ != nullptr && Pa_IsStreamActive(stream_) == 1 && callbacksRunning() &&
                SteadyUs() - lastCallbackUs_.load(std::memory_order_relaxed) < 100000) {
                return true;  // a stall that ended
            }
            if (now >= nextReopen) {
                nextReopen = now + kReopenPeriod;
                if (reopen()) return true;
            }
        }
        return false;
    }

    bool reopen() {
        close();
        // A sound server that went away and came back is only seen by a fresh PortAudio.
        Pa_Terminate();
        if (Pa_Initialize() != paNoError) return false;
        const int device = FindDevice(deviceName_);
        if (device == paNoDevice) return false;
        try {
            open(device, false);
        } catch (const std::exception&) {
            return false;
        }
        return true;
    }

    core::AudioRenderer& renderer_;
    const std::string deviceName_;  // empty: the default device
    core::OutputFormat format_;
    PaStream* stream_ = nullptr;  // the watcher's once the stream runs
    std::atomic<std::int64_t> lastCallbackUs_{0};
    std::atomic<std::int64_t> latencyUs_{0};
    std::atomic<bool> lost_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread watcher_;
};

PortAudioOutput::PortAudioOutput() {
    devices_.push_back({core::Utf8ToGbk("主声音驱动程序")});
    names_.emplace_back();
    initialised_ = Pa_Initialize() == paNoError;
    if (!initialised_) return;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || info->maxOutputChannels < 1) continue;
        devices_.push_back({core::Utf8ToGbk(DeviceName(i))});
        names_.push_back(DeviceName(i));
    }
}

PortAudioOutput::~PortAudioOutput() {
    if (initialised_) Pa_Terminate();
}

std::unique_ptr<core::OutputStream> PortAudioOutput::open(int deviceIndex,
                                                          const core::OutputFormat& format,
                                                          core::AudioRenderer& renderer) {
    if (!initialised_) throw std::runtime_error("no sound system");
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(names_.size())) {
        throw std::runtime_error("no such device");
    }
    if (deviceIndex == 0 && Pa_GetDefaultOutputDevice() == paNoDevice) {
        throw std::runtime_error("no default output device");
    }
    return std::make_unique<Stream>(names_[static_cast<std::size_t>(deviceIndex)], format,
                                    renderer);
}

}  // namespace pelvano::platform
