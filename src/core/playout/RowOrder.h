#pragma once
// Which row plays after another when an item hands over by itself: the next row, unless it has
// a start time of its own (then the section loops back to row 1, when that loop is on), and
// after the last row the table loops back to row 1 (when that loop is on). Pure.

namespace pelvano::core {

struct RowLoops {
    bool section = false;  // chkSectCycle
    bool table = false;    // chkAllCycle
};

struct NextRow {
    int row = 0;  // 0: none
    bool hasNext = false;
    bool nextIsTimed = false;
};

// rowCount counts the header row; nextHasStartTime tells whether row playing + 1 is timed.
NextRow NextRowAfter(int playing, int rowCount, bool nextHasStartTime, RowLoops loops);

}  // namespace pelvano::core
