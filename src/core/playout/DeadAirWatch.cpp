#include "core/playout/DeadAirWatch.h"

namespace pelvano::core {

void DeadAirWatch::setRules(const DeadAirSettings& settings) {
    silencePeak_ = settings.silencePeak();
    seconds_ = settings.silenceSeconds;
}

bool DeadAirWatch::observe(std::int64_t nowMs, float peak, bool meantOnAir,
                           const std::function<bool(int)>& comingWithin) {
    // The peak covers the time since the previous look: a silence began there.
    const std::int64_t previousMs = looked_ ? nowMs_ : nowMs;
    looked_ = true;
    nowMs_ = nowMs;
    if (!meantOnAir || peak >= silencePeak_) {
        endEpisode();
        return false;
    }
    if (!silentSinceMs_) silentSinceMs_ = previousMs;
    if (declared_ || nowMs - *silentSinceMs_ <= seconds_ * 1000LL) return false;
    if (comingWithin && comingWithin(seconds_)) return false;
    declared_ = true;
    ++count_;
    return true;
}

int DeadAirWatch::silentSeconds() const {
    return silentSinceMs_ ? static_cast<int>((nowMs_ - *silentSinceMs_) / 1000) : 0;
}

double DeadAirWatch::totalSeconds() const {
    const std::int64_t going = declared_ && silentSinceMs_ ? nowMs_ - *silentSinceMs_ : 0;
    return static_cast<double>(endedMs_ + going) / 1000.0;
}

void DeadAirWatch::endEpisode() {
    if (declared_ && silentSinceMs_) endedMs_ += nowMs_ - *silentSinceMs_;
    silentSinceMs_.reset();
    declared_ = false;
}

}  // namespace pelvano::core
