#pragma once
// The rows whose start failed since an item last went on air. The automatic hand-over to the
// next row tries each of them once; when it comes back to one of them, every row it can reach
// is unplayable and the station waits, saying so once, until a timed row, an operator start or
// the load of a schedule begins a new pass. UI thread.
#include <set>

namespace pelvano::core {

class UnplayableRows {
  public:
    void add(int row) { rows_.insert(row); }
    bool contains(int row) const { return rows_.count(row) != 0; }
    // A new pass: an item went on air, a timed row or the operator starts one, a schedule loads.
    void clear() {
        rows_.clear();
        waitAnnounced_ = false;
    }
    // True the first time it is asked in a pass: the wait is logged once.
    bool announceWait() {
        const bool first = !waitAnnounced_;
        waitAnnounced_ = true;
        return first;
    }

  private:
    std::set<int> rows_;
    bool waitAnnounced_ = false;
};

}  // namespace pelvano::core
