#pragma once
// File lengths measured on the measuring channel, for rows made from files. UI thread.
#include "core/schedule/RowFillPorts.h"

namespace pelvano::core {

struct PlayoutState;

class MeasuringChannel final : public DurationMeasurer {
public:
    explicit MeasuringChannel(PlayoutState& state) : state_(state) {}
    long long measureMs(const std::string& nativePath) override;

private:
    PlayoutState& state_;
};

}  // namespace pelvano::core
