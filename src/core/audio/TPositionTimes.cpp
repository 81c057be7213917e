#include "core/audio/TPositionTimes.h"

namespace pelvano::core {

void TPositionTimes::Add(const PositionTimesEntry& entry) {
    entries_[next_] = entry;
    next_ = (next_ + 1) % kCapacity;
    if (count_ < kCapacity) ++count_;
}

std::optional<std::int64_t> TPositionTimes::Find(std::int32_t ringOffset) const {
    int index = next_;
    for (int searched = 0; searched < count_; ++searched) {
        index = index == 0 ? kCapacity - 1 : index - 1;
        const PositionTimesEntry& e = entries_[index];
        if (e.ringStart <= ringOffset && ringOffset < e.ringEnd) {
            const double part = static_cast<double>(ringOffset - e.ringStart) /
                                static_cast<double>(e.ringEnd - e.ringStart) *
                                static_cast<double>(e.mediaEnd - e.mediaStart);
            return e.mediaStart + static_cast<std::int64_t>(part);
        }
    }
    return std::nullopt;
}

std::optional<PositionTimesEntry> TPositionTimes::Newest() const {
    if (count_ == 0) return std::nullopt;
    return entries_[next_ == 0 ? kCapacity - 1 : next_ - 1];
}

}  // namespace pelvano::core
