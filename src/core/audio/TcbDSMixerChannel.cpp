#include "core/audio/TcbDSMixerChannel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/app/SilentAbort.h"
#include "core/audio/ChannelLock.h"
#include "core/audio/SoundBuffer.h"
#include "core/audio/TcbDSMixer.h"

namespace pelvano::core {

namespace {

float trimOf(double db) {
    return static_cast<float>(std::pow(10.0, db / 20.0));
}

}  // namespace

TcbDSMixerChannel::TcbDSMixerChannel(TcbDSMixer& mixer)
    : mixer_(mixer), alive_(std::make_shared<TcbDSMixerChannel*>(this)) {
    thread_ = std::make_unique<TcbUpdateChannelThread>(
        [this] { updatePass(); }, *mixer.services().clock, mixer.services().steppedRefills);
    bufferLength_ = 4000;
    thread_->setInterval(static_cast<std::uint32_t>(bufferLength_ / 100));
}

TcbDSMixerChannel::~TcbDSMixerChannel() {
    // No refill pass runs from here on, so the parts below are freed safely even when the lock
    // is not free in time.
    thread_->deactivateAndWait();
    {
        ChannelLockGuard lock;
        closeDeviceBuffer();
        closeFile();
    }
    thread_.reset();
    *alive_ = nullptr;
}

void TcbDSMixerChannel::resetPlayState() {
    primed_ = false;
    pinned_.store(false, std::memory_order_release);
    endReached_ = false;
    endMarker_ = -1;
    writeCursor_ = 0;
    threshold_ = 0;
    chunk_ = 0;
    fading_ = false;
    state_.store(ChannelState::Stopped, std::memory_order_release);
}

void TcbDSMixerChannel::closeDeviceBuffer() {
    if (deviceBuffer_ != nullptr) {
        try {
            Stop();
        } catch (const std::exception&) {
            // The reader could not rewind; the buffer is released all the same.
        }
        mixer_.GetDirectSound().releaseBuffer(*deviceBuffer_);
        deviceBuffer_ = nullptr;
    }
    mirror_.clear();
    mirror_.shrink_to_fit();
    resetPlayState();
}

void TcbDSMixerChannel::closeFile() {
    reader_.reset();
    volume_.store(0, std::memory_order_relaxed);
    pan_.store(0, std::memory_order_relaxed);
    levellingDb_.store(0.0, std::memory_order_relaxed);
    startPos_ = 0;
    endPos_ = 0;
    fileName_.clear();
    starvedReported_ = false;
}

void TcbDSMixerChannel::CheckPlayable(const TcbAudioFileReader& reader) {
    const core::WaveFormat& f = reader.WaveFormat();
    if (reader.Duration() / kStreamTimePerMs == 0) throw std::runtime_error("Audio file is empty.");
    if (f.nChannels != 1 && f.nChannels != 2)
        throw std::runtime_error("Invalid number of channels.");
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) {
        throw std::runtime_error("Invalid number of bits per sample.");
    }
}

void TcbDSMixerChannel::SetFileName(const std::string& fileName) {
    std::unique_ptr<TcbAudioFileReader> reader;
    if (!fileName.empty()) {
        // Opened before the lock is taken: an open may wait on the disk.
        try {
            reader = std::make_unique<TcbAudioFileReader>(mixer_.services().sources->createSource(),
                                                          fileName);
        } catch (...) {
            SetReader(nullptr);
            throw;
        }
    }
    SetReader(std::move(reader));
}

void TcbDSMixerChannel::SetReader(std::unique_ptr<TcbAudioFileReader> reader) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    closeDeviceBuffer();
    closeFile();
    if (!reader) return;
    CheckPlayable(*reader);
    const core::WaveFormat& f = reader->WaveFormat();
    length_ = static_cast<std::int32_t>(reader->Duration() / kStreamTimePerMs);
    sampleRate_ = static_cast<std::int32_t>(f.nSamplesPerSec);
    channels_ = f.nChannels;
    bitsPerSample_ = f.wBitsPerSample;
    blockAlign_ = f.nBlockAlign;
    fileName_ = reader->FileName();
    reader_ = std::move(reader);
    SetStartPos(startPos_);
    SetEndPos(endPos_);
}

void TcbDSMixerChannel::SetExactDuration(const std::string& fileName, std::int64_t duration) {
    ChannelLockGuard lock;
    if (!lock.locked() || !reader_ || fileName != fileName_ || duration <= 0) return;
    reader_->SetDuration(duration);
    length_ = static_cast<std::int32_t>(duration / kStreamTimePerMs);
}

std::function<std::optional<std::int64_t>()> TcbDSMixerChannel::ExactDurationJob() {
    ChannelLockGuard lock;
    if (!lock.locked() || !reader_) return {};
    return reader_->ExactDurationJob();
}

void TcbDSMixerChannel::ensureDeviceBuffer() {
    if (deviceBuffer_ != nullptr) return;
    if (!reader_) throw std::runtime_error("No file opened");
    const core::WaveFormat& f = reader_->WaveFormat();
    ringSize_ = static_cast<std::uint32_t>(static_cast<std::uint64_t>(f.nAvgBytesPerSec) *
                                           static_cast<std::uint64_t>(bufferLength_) / 1000);
    threshold_ = ringSize_ * 40 / 100;
    chunk_ = static_cast<std::uint32_t>(500ull * thread_->Interval() * f.nAvgBytesPerSec / 100000);
    mirror_.assign(ringSize_, silenceByte());
    deviceBuffer_ = &mixer_.GetDirectSound().createBuffer(ringSize_, f);
    deviceBuffer_->setVolume(Volume());
    deviceBuffer_->setPan(Pan());
    deviceBuffer_->setTrim(trimOf(LevellingGain()));
}

void TcbDSMixerChannel::fillRegion(std::uint32_t offset, std::uint32_t size) {
    if (size == 0) return;
    std::uint32_t w = offset;
    std::uint32_t remaining = size;
    while (remaining > 0) {
        if (endMarker_ == -1) {
            const std::uint32_t n = reader_->ReadBuffer(mirror_.data() + w, remaining);
            if (n > 0) {
                positionLog_.Add({static_cast<std::int32_t>(w), static_cast<std::int32_t>(w + n),
                                  reader_->SampleStartTime(), reader_->SampleEndTime()});
                remaining -= n;
            }
            if (remaining > 0) {
                // A short block means the data has ended: the reader fills every request.
                w += n;
                endMarker_ = static_cast<std::int32_t>(w);
                reader_->SetPosition(0);
            }
        } else {
            std::fill_n(mirror_.begin() + w, remaining, silenceByte());
            positionLog_.Add({static_cast<std::int32_t>(w),
                              static_cast<std::int32_t>(w + remaining), reader_->SampleEndTime(),
                              reader_->SampleEndTime()});
            remaining = 0;
        }
    }
    deviceBuffer_->write(offset, mirror_.data() + offset, size);
}

void TcbDSMixerChannel::writeSilenceDirect(std::uint32_t offset, std::uint32_t size) {
    deviceBuffer_->fill(offset, silenceByte(), size);
    positionLog_.Add({static_cast<std::int32_t>(offset), static_cast<std::int32_t>(offset + size),
                      reader_->SampleEndTime(), reader_->SampleEndTime()});
}

void TcbDSMixerChannel::refill() {
    ensureDeviceBuffer();
    // The frames just behind the play cursor are still read by the resampling filter.
    const std::uint32_t history =
        SoundBuffer::kHistoryFrames * static_cast<std::uint32_t>(blockAlign_);
    if (!primed_) {
        writeCursor_ = ringSize_ - history;
        fillRegion(0, writeCursor_);
        deviceBuffer_->addFramesAhead(writeCursor_ / static_cast<std::uint32_t>(blockAlign_));
        // Before the first frame there was nothing: the filter must not hear the ring's end.
        std::fill(mirror_.begin() + writeCursor_, mirror_.end(), silenceByte());
        deviceBuffer_->fill(writeCursor_, silenceByte(), history);
        primed_ = true;
        return;
    }
    const std::uint32_t p = deviceBuffer_->playCursor();
    if (pinned_.load(std::memory_order_acquire)) {
        // The level meters read the mirror: leave it alone, and only keep the device from
        // replaying old audio when less than a chunk is queued.
        std::int64_t queued = static_cast<std::int64_t>(writeCursor_) - p;
        if (queued <= 0) queued += ringSize_;
        if (queued >= chunk_) return;
        if (writeCursor_ + chunk_ > ringSize_) {
            writeSilenceDirect(writeCursor_, ringSize_ - writeCursor_);
            writeSilenceDirect(0, writeCursor_ + chunk_ - ringSize_);
        } else {
            writeSilenceDirect(writeCursor_, chunk_);
        }
        deviceBuffer_->addFramesAhead(chunk_ / static_cast<std::uint32_t>(blockAlign_));
        writeCursor_ += chunk_;
        if (writeCursor_ >= ringSize_) writeCursor_ -= ringSize_;
        return;
    }
    const std::uint32_t target = p >= history ? p - history : p + ringSize_ - history;
    std::uint32_t written = 0;
    if (target >= writeCursor_) {
        written = target - writeCursor_;
        fillRegion(writeCursor_, written);
    } else {
        written = ringSize_ - writeCursor_ + target;
        fillRegion(writeCursor_, ringSize_ - writeCursor_);
        fillRegion(0, target);
    }
    deviceBuffer_->addFramesAhead(written / static_cast<std::uint32_t>(blockAlign_));
    writeCursor_ = target;
}

std::uint32_t TcbDSMixerChannel::distanceToEnd() const {
    std::int64_t d = static_cast<std::int64_t>(endMarker_) - deviceBuffer_->playCursor();
    if (d <= 0) d += ringSize_;
    return static_cast<std::uint32_t>(d);
}

void TcbDSMixerChannel::update() {
    if (deviceBuffer_ != nullptr && deviceBuffer_->takeStarved() && !starvedReported_) {
        starvedReported_ = true;
        post(&TcbDSMixerChannel::deliverStarved);
    }
    if (endReached_ && distanceToEnd() > threshold_) {
        // The cursor has passed the end marker: everything of the file has been heard.
        Stop();
        post(&TcbDSMixerChannel::deliverEnd);
        return;
    }
    const std::uint64_t now = mixer_.services().clock->tickMs();
    if (now - lastRefill_ >= thread_->Interval()) {
        lastRefill_ = now;
        if (endMarker_ != -1 && deviceBuffer_ != nullptr && distanceToEnd() <= threshold_) {
            endReached_ = true;
        }
        refill();
    }
    if (fading_ && State() == ChannelState::Playing && deviceBuffer_ != nullptr &&
        now >= fadeStart_) {
        if (fadeEnd_ > now) {
            const std::int64_t span = static_cast<std::int64_t>(fadeEnd_ - fadeStart_);
            const std::int64_t done = static_cast<std::int64_t>(now - fadeStart_);
            SetVolume(
                static_cast<std::int32_t>((fadeTarget_ - fadeFrom_) * done / span + fadeFrom_));
        } else {
            fading_ = false;
            SetVolume(fadeTarget_);
            post(&TcbDSMixerChannel::deliverFadeEnd);
        }
    }
}

void TcbDSMixerChannel::updatePass() {
    ChannelLockGuard lock;
    if (!lock.locked() || !thread_->Active()) return;
    try {
        update();
    } catch (...) {
        stopAfterFailure(std::current_exception());
    }
}

void TcbDSMixerChannel::stopAfterFailure(std::exception_ptr failure) {
    // Never let the device go on looping what is left in the ring: silence it and forget the
    // priming before anything else can fail.
    thread_->setActive(false);
    if (deviceBuffer_ != nullptr) deviceBuffer_->stop();
    state_.store(ChannelState::Stopped, std::memory_order_release);
    try {
        Stop();
    } catch (...) {
        // The reader could not rewind; the next Play primes from wherever it is.
    }
    pendingFailure_ = failure;
    post(&TcbDSMixerChannel::deliverEnd);
}

void TcbDSMixerChannel::post(void (TcbDSMixerChannel::*deliver)()) {
    std::weak_ptr<TcbDSMixerChannel*> alive = alive_;
    mixer_.services().events->post([alive, deliver] {
        const auto channel = alive.lock();
        if (channel && *channel) ((*channel)->*deliver)();
    });
}

void TcbDSMixerChannel::deliverEnd() {
    std::exception_ptr failure;
    {
        ChannelLockGuard lock;
        if (lock.locked()) failure = std::exchange(pendingFailure_, nullptr);
    }
    endError_.clear();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            endError_ = e.what();
        } catch (...) {
            endError_ = "Unknown error";
        }
    }
    if (OnEnd) OnEnd(*this);
    // The UI loop shows the failure's text (a silent abort it discards).
    if (failure) std::rethrow_exception(failure);
}

void TcbDSMixerChannel::deliverFadeEnd() {
    if (OnFadeEnd) OnFadeEnd(*this);
}

void TcbDSMixerChannel::deliverStarved() {
    if (OnStarved) OnStarved(*this);
}

void TcbDSMixerChannel::Play() {
    PlayAt(SoundBuffer::kAtOnce);
}

void TcbDSMixerChannel::PlayAt(std::int64_t tickUs) {
    ChannelLockGuard lock;
    if (!lock.locked() || State() == ChannelState::Playing) return;
    ensureDeviceBuffer();
    if (!primed_) refill();
    deviceBuffer_->playLooping(tickUs);
    state_.store(ChannelState::Playing, std::memory_order_release);
    thread_->setActive(true);
}

std::optional<std::int64_t> TcbDSMixerChannel::FirstHeardUs() {
    ChannelLockGuard lock;
    if (!lock.locked() || deviceBuffer_ == nullptr) return std::nullopt;
    const std::int64_t heard = deviceBuffer_->firstHeardUs();
    if (heard == SoundBuffer::kNotHeard) return std::nullopt;
    return heard;
}

void TcbDSMixerChannel::Pause() {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    ensureDeviceBuffer();
    if (State() != ChannelState::Playing) return;
    thread_->setActive(false);
    deviceBuffer_->stop();
    state_.store(ChannelState::Paused, std::memory_order_release);
    fading_ = false;
}

void TcbDSMixerChannel::Stop() {
    ChannelLockGuard lock;
    if (!lock.locked() || deviceBuffer_ == nullptr) return;
    thread_->setActive(false);
    deviceBuffer_->stop();
    state_.store(ChannelState::Stopped, std::memory_order_release);
    fading_ = false;
    deviceBuffer_->setCursorToZero();
    writeCursor_ = 0;
    // Forget the ring before rewinding the reader, so that a failing rewind cannot leave the
    // old contents to be played again.
    primed_ = false;
    endMarker_ = -1;
    endReached_ = false;
    reader_->SetPosition(0);
}

std::int32_t TcbDSMixerChannel::Position() {
    ChannelLockGuard lock;
    if (!lock.locked()) return 0;
    if (primed_ && deviceBuffer_ != nullptr) {
        const auto c = static_cast<std::int32_t>(deviceBuffer_->playCursor());
        // A cursor held for want of refilled frames stands at the end of the newest block; the
        // log's entry at that offset is from the lap before.
        const auto newest = positionLog_.Newest();
        if (newest && deviceBuffer_->framesAhead() == 0)
            return static_cast<std::int32_t>(newest->mediaEnd / kStreamTimePerMs);
        if (auto media = positionLog_.Find(c)) {
            // The log's times are truncated to whole units at both ends of each block, so a
            // time a microsecond short of a millisecond is that millisecond.
            constexpr std::int64_t kTruncationSlack = 10;
            return static_cast<std::int32_t>((*media + kTruncationSlack) / kStreamTimePerMs);
        }
        // No entry covers the cursor: hold at the newest known time rather than jump to 0.
        if (newest) {
            return static_cast<std::int32_t>(newest->mediaEnd / kStreamTimePerMs);
        }
    }
    if (reader_) return static_cast<std::int32_t>(reader_->Position() / kStreamTimePerMs);
    return 0;
}

void TcbDSMixerChannel::SetPosition(std::int32_t ms) {
    ChannelLockGuard lock;
    if (!lock.locked() || !reader_) return;
    Stop();
    reader_->SetPosition(static_cast<std::int64_t>(ms) * kStreamTimePerMs);
}

void TcbDSMixerChannel::SetVolume(std::int32_t volume) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    volume_.store(volume, std::memory_order_relaxed);
    if (deviceBuffer_ != nullptr) deviceBuffer_->setVolume(volume);
}

void TcbDSMixerChannel::SetPan(std::int32_t pan) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    pan_.store(pan, std::memory_order_relaxed);
    if (deviceBuffer_ != nullptr) deviceBuffer_->setPan(pan);
}

void TcbDSMixerChannel::SetLevellingGain(double db) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    levellingDb_.store(db, std::memory_order_relaxed);
    if (deviceBuffer_ != nullptr) deviceBuffer_->setTrim(trimOf(db));
}

void TcbDSMixerChannel::Fade(std::uint32_t timeMs, std::int32_t target) {
    FadeAt(mixer_.services().clock->tickMs(), timeMs, target);
}

void TcbDSMixerChannel::FadeAt(std::uint64_t startMs, std::uint32_t timeMs, std::int32_t target) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    if (target > 0 || target < -10000 || timeMs > 60000) throw SilentAbort();
    if (State() != ChannelState::Playing) return;
    fadeStart_ = startMs;
    fadeEnd_ = fadeStart_ + timeMs;
    fadeFrom_ = Volume();
    fadeTarget_ = target;
    fading_ = true;
}

void TcbDSMixerChannel::CancelFadeAt(std::uint64_t startMs) {
    ChannelLockGuard lock;
    if (!lock.locked() || !fading_ || fadeStart_ != startMs) return;
    fading_ = false;
    SetVolume(fadeFrom_);
}

void TcbDSMixerChannel::SetStartPos(std::int32_t ms) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    if (!reader_) {
        startPos_ = ms;
        return;
    }
    const std::int64_t start = static_cast<std::int64_t>(ms) * kStreamTimePerMs;
    if (start == reader_->PlayStart()) return;
    reader_->SetPlayStart(start);
    startPos_ = ms;
    SetEndPos(endPos_);
}

void TcbDSMixerChannel::SetEndPos(std::int32_t ms) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    if (!reader_) {
        endPos_ = ms;
        return;
    }
    // 0 plays to the file's end, wherever the window starts.
    const std::int64_t length =
        ms > 0 ? static_cast<std::int64_t>(ms) * kStreamTimePerMs - reader_->PlayStart() : 0;
    if (length == reader_->PlayLength()) return;
    reader_->SetPlayLength(length);
    endPos_ = ms;
}

std::int32_t TcbDSMixerChannel::PlayEnd() const {
    return endPos_ > 0 && endPos_ < length_ ? endPos_ : length_;
}

void TcbDSMixerChannel::GetDataAhead(std::uint32_t offset, std::uint32_t max, DataAhead& out) {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    pinned_.store(false, std::memory_order_release);
    out = DataAhead{};
    if (!primed_ || deviceBuffer_ == nullptr) return;
    const std::uint32_t p = deviceBuffer_->playCursor();
    // A write cursor at or behind the play cursor means the ring is topped up to the history
    // kept behind the cursor.
    std::int64_t ahead = static_cast<std::int64_t>(writeCursor_) - p;
    if (writeCursor_ <= p) ahead += ringSize_;
    ahead -= offset;
    if (ahead <= 0) return;
    const auto n = static_cast<std::uint32_t>(std::min<std::int64_t>(max, ahead));
    std::uint64_t s = static_cast<std::uint64_t>(p) + offset;
    if (s >= ringSize_) s -= ringSize_;
    out.data1 = mirror_.data() + s;
    out.length1 = ringSize_ - static_cast<std::uint32_t>(s);
    if (out.length1 >= n) {
        out.length1 = n;
    } else {
        out.data2 = mirror_.data();
        out.length2 = n - out.length1;
    }
    pinned_.store(true, std::memory_order_release);
}

void TcbDSMixerChannel::ReleaseDataAhead() {
    ChannelLockGuard lock;
    if (!lock.locked()) return;
    pinned_.store(false, std::memory_order_release);
}

}  // namespace pelvano::core
