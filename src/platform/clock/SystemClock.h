#pragma once
// The real clock: steady milliseconds and the local wall time. Any thread.
#include "core/ports/Clock.h"

namespace pelvano::platform {

class SystemClock final : public core::Clock {
public:
    std::uint64_t tickMs() const override;
    core::LocalDateTime now() const override;
};

}  // namespace pelvano::platform
