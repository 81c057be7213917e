#include "core/audio/TcbDSMixer.h"

#include <algorithm>
#include <stdexcept>

#include "core/app/SilentAbort.h"
#include "core/app/TextHelpers.h"
#include "core/audio/ChannelLock.h"

namespace pelvano::core {

TcbDSMixer::TcbDSMixer(const AudioServices& services)
    : services_(services), alive_(std::make_shared<TcbDSMixer*>(this)) {}

TcbDSMixer::~TcbDSMixer() {
    Close();
    while (!channels_.empty()) channels_.pop_back();
    *alive_ = nullptr;
}

TcbDSMixerChannel& TcbDSMixer::AddChannel() {
    channels_.push_back(std::make_unique<TcbDSMixerChannel>(*this));
    return *channels_.back();
}

void TcbDSMixer::FreeChannel(TcbDSMixerChannel& channel) {
    auto it = std::find_if(channels_.begin(), channels_.end(),
                           [&](const auto& c) { return c.get() == &channel; });
    if (it == channels_.end()) return;
    std::unique_ptr<TcbDSMixerChannel> owned = std::move(*it);
    channels_.erase(it);
}

std::unique_ptr<SoftwareMixer> TcbDSMixer::makeDevice(const OutputFormat& format) {
    // The loss is reported from the output's thread; the report runs on the UI thread.
    std::weak_ptr<TcbDSMixer*> alive = alive_;
    EventQueue* events = services_.events;
    return std::make_unique<SoftwareMixer>(format, [alive, events](const std::string& reason) {
        events->post([alive, reason] {
            const auto mixer = alive.lock();
            if (mixer && *mixer) (*mixer)->reportDeviceLost(reason);
        });
    });
}

void TcbDSMixer::Open() {
    if (stream_) return;
    OutputFormat wanted;
    wanted.sampleRate = static_cast<std::uint32_t>(frequency_);
    wanted.channels = stereo_ ? 2 : 1;
    try {
        auto device = makeDevice(wanted);
        stream_ = services_.output->open(deviceIndex_, wanted, *device);
        const OutputFormat accepted = stream_->format();
        if (accepted.sampleRate != wanted.sampleRate || accepted.channels != wanted.channels) {
            // Mix at what the device accepted.
            stream_.reset();
            device = makeDevice(accepted);
            stream_ = services_.output->open(deviceIndex_, accepted, *device);
        }
        frequency_ = static_cast<std::int32_t>(accepted.sampleRate);
        stereo_ = accepted.channels == 2;
        device_ = std::move(device);
    } catch (const std::exception&) {
        stream_.reset();
        throw SilentAbort();
    }
}

void TcbDSMixer::Close() {
    // The device buffers go even when the lock is not free in time: no refill may hold one then.
    for (auto& channel : channels_) channel->thread_->deactivateAndWait();
    {
        ChannelLockGuard lock;
        for (auto& channel : channels_) channel->closeDeviceBuffer();
    }
    stream_.reset();
    device_.reset();
}

SoftwareMixer& TcbDSMixer::GetDirectSound() {
    Open();
    return *device_;
}

int TcbDSMixer::DeviceCount() const {
    return static_cast<int>(services_.output->devices().size());
}

std::string TcbDSMixer::GetDeviceName(int index) const {
    const auto& list = services_.output->devices();
    if (index < 0 || index >= static_cast<int>(list.size())) {
        throw std::out_of_range(Format("List index out of bounds (%d)", index));
    }
    return list[static_cast<std::size_t>(index)].description;
}

void TcbDSMixer::SetDeviceIndex(int index) {
    if (index >= 0 && index < DeviceCount()) deviceIndex_ = index;
}

void TcbDSMixer::SetFrequency(std::int32_t hz) {
    frequency_ = std::clamp(hz, 100, 100000);
}

void TcbDSMixer::reportDeviceLost(const std::string& reason) {
    if (OnDeviceLost) OnDeviceLost(reason);
    throw SilentAbort();
}

}  // namespace pelvano::core
