#pragma once
// How late timed rows went on air: the first heard sample against the scheduled second, in
// seconds, counted into fixed buckets the way a Prometheus histogram reports them (each bucket
// counts every observation up to its bound). An early start counts as 0 s late. UI thread.
#include <array>
#include <cstdint>

namespace pelvano::core {

class LatenessHistogram {
  public:
    static constexpr std::array<double, 8> kBounds{0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 1.0, 5.0};

    void observe(double seconds) {
        if (seconds < 0) seconds = 0;
        for (std::size_t i = 0; i < kBounds.size(); ++i) {
            if (seconds <= kBounds[i]) ++buckets_[i];
        }
        ++count_;
        sum_ += seconds;
    }
    // Observations up to kBounds[i].
    std::uint64_t bucket(std::size_t i) const { return buckets_[i]; }
    std::uint64_t count() const { return count_; }
    double sum() const { return sum_; }

  private:
    std::array<std::uint64_t, kBounds.size()> buckets_{};
    std::uint64_t count_ = 0;
    double sum_ = 0;
};

}  // namespace pelvano::core
