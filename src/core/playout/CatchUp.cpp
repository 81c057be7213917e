#include "core/playout/CatchUp.h"

#include <algorithm>

namespace pelvano::core {

int SecondsToLookAt(int last, int now, int maxLateness) {
    constexpr int kDay = 86400;
    const int passed = ((now - last) % kDay + kDay) % kDay;
    if (passed == 0) return 0;
    if (passed >= kDay / 2) return 1;
    return std::min(passed, maxLateness + 1);
}

}  // namespace pelvano::core
