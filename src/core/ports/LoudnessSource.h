#pragma once
// Where the station gets loudness facts of a file. Implemented by the platform (a decoder, the
// measurement library and the station's cache). lookUp and estimate are slow: they are called on
// workers only, never on the UI thread; measureAhead only queues work and returns at once.
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
    // Measures these native files fully in the background, at low priority, into the cache.
    virtual void measureAhead(const std::vector<std::string>& natives) = 0;
};

}  // namespace pelvano::core
