#pragma once
// The station's figures in the Prometheus text exposition format (version 0.0.4). Any thread.
#include <string>

#include "core/remote/StationStatus.h"

namespace pelvano::core {

std::string MetricsText(const StationStatus& status);

}  // namespace pelvano::core
