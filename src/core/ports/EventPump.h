#pragma once
// "Process pending events once": what waits, long loads and long saves call so that the timers
// of the playout keep running meanwhile. UI thread only.

namespace pelvano::core {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processPendingEvents() = 0;
};

}  // namespace pelvano::core
