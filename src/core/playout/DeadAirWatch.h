#pragma once
// Dead air: the mix stays below the silence level for longer than the silence seconds while
// the station is meant to be on air. The watch looks at the output's peak on each scheduler
// tick and says once per episode that the silence has become dead air; the station logs it and
// moves on. An episode ends when sound comes back or the station is no longer meant to be on
// air (paused, stopped, held). A timed row or a time signal due within the silence seconds is
// waited for: the watch says nothing while one is coming. Counts episodes and their seconds for
// monitoring. UI thread.
#include <cstdint>
#include <functional>
#include <optional>

#include "core/playout/DeadAirSettings.h"

namespace pelvano::core {

class DeadAirWatch {
  public:
    DeadAirWatch() { setRules({}); }
    void setRules(const DeadAirSettings& settings);
    int silenceSeconds() const { return seconds_; }

    // One look. peak: the output's highest absolute sample since the last look (0 .. 1).
    // comingWithin(seconds): whether a timed row or a time signal is due within that many
    // seconds. True when the silence has just become dead air (once per episode).
    bool observe(std::int64_t nowMs, float peak, bool meantOnAir,
                 const std::function<bool(int seconds)>& comingWithin);
    // Whole seconds of silence in the current episode.
    int silentSeconds() const;

    // Episodes found dead air since the station started.
    int count() const { return count_; }
    // Their seconds of silence, the one going on included.
    double totalSeconds() const;

  private:
    void endEpisode();

    float silencePeak_ = 0.0f;
    int seconds_ = 0;
    bool looked_ = false;
    std::int64_t nowMs_ = 0;
    std::optional<std::int64_t> silentSinceMs_;
    bool declared_ = false;
    int count_ = 0;
    std::int64_t endedMs_ = 0;  // dead air of the episodes that ended
};

}  // namespace pelvano::core
