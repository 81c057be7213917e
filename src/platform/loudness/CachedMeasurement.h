#pragma once
// One file's full measurement through the station's cache: the kept facts of this version of
// the file, else a measurement, kept when it is whole (an estimate of a file shorter than the
// estimate's span is) and the file did not change while it was measured.
// Any thread but the UI thread (disk, decoding).
#include <optional>

#include "platform/loudness/LoudnessCache.h"
#include "platform/loudness/LoudnessMeter.h"

namespace pelvano::platform {

std::optional<core::LoudnessFacts> MeasureThroughCache(LoudnessCache& cache,
                                                       const MeasureRequest& request);

}  // namespace pelvano::platform
