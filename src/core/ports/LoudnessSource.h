#pragma once
// Where the station gets loudness facts of a file. Implemented by the platform (a decoder, the
// measurement library and the station's cache). lookUp and estimate are slow: they are called on
// workers only, never on the UI thread; measureAhead only queues work and returns at once.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/loudness/LoudnessFacts.h"

namespace pelvano::core {

class LoudnessSource {
  public:
    virtual ~LoudnessSource() = default;
    // The cached full measurement of a native file, if it is current (same size and time).
    virtual std::optional<LoudnessFacts> lookUp(const std::string& native) = 0;
    // A quick measurement of the file's first seconds (estimate = true); nullopt if unreadable.
    virtual std::optional<LoudnessFacts> estimate(const std::string& native) = 0;
    using Measured = std::function<void(const std::string& native, const LoudnessFacts& facts)>;
    // Measures these native files fully in the background, at low priority, into the cache
    // (a file already cached is not measured again); each file's facts are then reported through
    // `measured` on the UI thread, by way of the event queue.
    virtual void measureAhead(const std::vector<std::string>& natives, Measured measured) = 0;
    // lookUp, else estimate, as one job for an item's worker. The job may outlive the station (a
    // worker abandoned in a hung open still runs it afterwards), so an implementation's job keeps
    // what it uses alive by itself; this default only suits sources that outlive every worker.
    using FactsJob = std::function<std::optional<LoudnessFacts>(const std::string& native)>;
    virtual FactsJob factsJob() {
        return [this](const std::string& native) {
            auto facts = lookUp(native);
            return facts ? facts : estimate(native);
        };
    }
};

}  // namespace pelvano::core
