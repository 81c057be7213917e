#include "platform/loudness/CachedMeasurement.h"

namespace pelvano::platform {

std::optional<core::LoudnessFacts> MeasureThroughCache(LoudnessCache& cache,
                                                       const MeasureRequest& request) {
    const auto before = StampOf(request.path);
    if (!before) return std::nullopt;
    if (auto kept = cache.find(request.path, *before, request.cueLevelDbfs)) return kept;
    auto facts = MeasureLoudness(request);
    if (facts && !facts->estimate && StampOf(request.path) == before)
        cache.store(request.path, *before, request.cueLevelDbfs, *facts);
    return facts;
}

}  // namespace pelvano::platform
