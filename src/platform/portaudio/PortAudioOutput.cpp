#include "platform/portaudio/PortAudioOutput.h"

#include <portaudio.h>

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
constexpr auto kSilenceLimit = std::chrono::milliseconds(1500);
constexpr auto kPacePeriod = std::chrono::milliseconds(10);

}  // namespace

// Pulls the renderer from PortAudio's callback. A watcher thread notices when the callbacks stop
// (or the stream dies); it then reports the loss once and pulls the renderer by the real clock.
class PortAudioOutput::Stream final : public core::OutputStream {
  public:
    Stream(int paDevice, const core::OutputFormat& format, core::AudioRenderer& renderer)
        : renderer_(renderer), format_(format) {
        PaStreamParameters params{};
        params.device = paDevice;
        params.channelCount = format.channels;
        params.sampleFormat = paFloat32;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(paDevice);
        if (info == nullptr) throw std::runtime_error("no such device");
        params.suggestedLatency = info->defaultLowOutputLatency;
        double rate = format.sampleRate;
        if (Pa_IsFormatSupported(nullptr, &params, rate) != paFormatIsSupported) {
            rate = info->defaultSampleRate;
        }
        format_.sampleRate = static_cast<std::uint32_t>(rate);
        const PaError err =
            Pa_OpenStream(&stream_, nullptr, &params, rate, paFramesPerBufferUnspecified, paNoFlag,
                          &Stream::callback, this);
        if (err != paNoError) throw std::runtime_error(Pa_GetErrorText(err));
        lastCallback_.store(nowNs(), std::memory_order_relaxed);
        if (const PaError started = Pa_StartStream(stream_); started != paNoError) {
            Pa_CloseStream(stream_);
            throw std::runtime_error(Pa_GetErrorText(started));
        }
        watcher_ = std::thread([this] { watch(); });
    }

    ~Stream() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        watcher_.join();
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
    }

    core::OutputFormat format() const override { return format_; }

  private:
    static std::int64_t nowNs() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* self) {
        auto* s = static_cast<Stream*>(self);
        if (s->lost_.load(std::memory_order_acquire)) {
            std::fill_n(static_cast<float*>(output), frames * s->format_.channels, 0.0f);
            return paContinue;
        }
        s->renderer_.render(static_cast<float*>(output), static_cast<std::uint32_t>(frames));
        s->lastCallback_.store(nowNs(), std::memory_order_relaxed);
        return paContinue;
    }

    bool deviceAlive() const {
        const auto silentFor =
            std::chrono::nanoseconds(nowNs() - lastCallback_.load(std::memory_order_relaxed));
        return Pa_IsStreamActive(stream_) == 1 && silentFor < kSilenceLimit;
    }

    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, kWatchPeriod, [this] { return stopping_; })) {
            if (deviceAlive()) continue;
            lost_.store(true, std::memory_order_release);
            renderer_.deviceLost("the sound device stopped");
            paceByClock(lock);
            return;
        }
    }

    // Keeps the mixer's cursors moving in real time so that the station keeps its schedule.
    void paceByClock(std::unique_lock<std::mutex>& lock) {
        std::vector<float> block;
        auto last = std::chrono::steady_clock::now();
        double owed = 0.0;
        while (!wake_.wait_for(lock, kPacePeriod, [this] { return stopping_; })) {
            const auto now = std::chrono::steady_clock::now();
            owed += std::chrono::duration<double>(now - last).count() * format_.sampleRate;
            last = now;
            const auto frames = static_cast<std::uint32_t>(owed);
            owed -= frames;
            block.resize(static_cast<std::size_t>(frames) * format_.channels);
            if (frames > 0) renderer_.render(block.data(), frames);
        }
    }

    core::AudioRenderer& renderer_;
    core::OutputFormat format_;
    PaStream* stream_ = nullptr;
    std::atomic<std::int64_t> lastCallback_{0};
    std::atomic<bool> lost_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread watcher_;
};

PortAudioOutput::PortAudioOutput() {
    devices_.push_back({core::Utf8ToGbk("主声音驱动程序")});
    paIndices_.push_back(-1);
    initialised_ = Pa_Initialize() == paNoError;
    if (!initialised_) return;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || info->maxOutputChannels < 1) continue;
        const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
        std::string name = info->name ? info->name : "";
        if (api != nullptr && api->name != nullptr) name += std::string(" (") + api->name + ")";
        devices_.push_back({core::Utf8ToGbk(name)});
        paIndices_.push_back(i);
    }
}

PortAudioOutput::~PortAudioOutput() {
    if (initialised_) Pa_Terminate();
}

std::unique_ptr<core::OutputStream> PortAudioOutput::open(int deviceIndex,
                                                          const core::OutputFormat& format,
                                                          core::AudioRenderer& renderer) {
    if (!initialised_) throw std::runtime_error("no sound system");
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(paIndices_.size())) {
        throw std::runtime_error("no such device");
    }
    int paDevice = paIndices_[static_cast<std::size_t>(deviceIndex)];
    if (paDevice < 0) paDevice = Pa_GetDefaultOutputDevice();
    if (paDevice == paNoDevice) throw std::runtime_error("no default output device");
    return std::make_unique<Stream>(paDevice, format, renderer);
}

}  // namespace pelvano::platform
