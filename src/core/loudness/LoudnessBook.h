#pragma once
// The loudness facts the station knows on its UI thread, by native path: filled from the
// background measurement and from prepared items, read by the windows and the item start.
// UI thread only; never touches a disk.
#include <map>
#include <optional>
#include <string>

#include "core/loudness/LoudnessFacts.h"

namespace pelvano::core {

class LoudnessBook {
  public:
    // A full measurement replaces anything; an estimate never replaces a full measurement.
    void note(const std::string& native, const LoudnessFacts& facts) {
        auto it = facts_.find(native);
        if (it != facts_.end() && facts.estimate && !it->second.estimate) return;
        facts_[native] = facts;
    }
    std::optional<LoudnessFacts> find(const std::string& native) const {
        auto it = facts_.find(native);
        if (it == facts_.end()) return std::nullopt;
        return it->second;
    }

  private:
    std::map<std::string, LoudnessFacts> facts_;
};

}  // namespace pelvano::core
