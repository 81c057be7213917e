#pragma once
// Maps ring offsets back to media times: one entry per region written into a channel's ring,
// the newest 150 kept. Guarded by the channel lock.
#include <array>
#include <cstdint>
#include <optional>

namespace pelvano::core {

struct PositionTimesEntry {
    std::int32_t ringStart = 0;
    std::int32_t ringEnd = 0;  // exclusive
    std::int64_t mediaStart = 0;
    std::int64_t mediaEnd = 0;
};

class TPositionTimes {
  public:
    static constexpr int kCapacity = 150;

    void Add(const PositionTimesEntry& entry);
    // Media time (stream time) at a ring offset from the newest entry that covers it.
    std::optional<std::int64_t> Find(std::int32_t ringOffset) const;
    // The newest entry, if any was added.
    std::optional<PositionTimesEntry> Newest() const;

  private:
    std::array<PositionTimesEntry, kCapacity> entries_{};
    int next_ = 0;
    int count_ = 0;
};

}  // namespace pelvano::core
