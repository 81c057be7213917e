#pragma once
// Hands work from any thread to the UI thread. post() may be called from any thread; the
// handlers run on the UI thread, one at a time, in posting order.
#include <functional>

namespace pelvano::core {

class EventQueue {
public:
    virtual ~EventQueue() = default;
    virtual void post(std::function<void()> handler) = 0;
};

}  // namespace pelvano::core
