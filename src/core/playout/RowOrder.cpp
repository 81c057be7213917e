#include "core/playout/RowOrder.h"

namespace pelvano::core {

NextRow NextRowAfter(int playing, int rowCount, bool nextHasStartTime, RowLoops loops) {
    NextRow next;
    next.hasNext = playing < rowCount - 1;
    next.nextIsTimed = next.hasNext && nextHasStartTime;
    if (next.hasNext && !next.nextIsTimed) {
        next.row = playing + 1;
    } else if (next.nextIsTimed ? loops.section : loops.table) {
        next.row = 1;
    }
    return next;
}

}  // namespace pelvano::core
