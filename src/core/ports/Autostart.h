#pragma once
// Whether the program starts when the user logs on. The real adapter keeps an XDG autostart
// entry; tests give it a temporary folder. UI thread.
#include <string>

namespace pelvano::core {

class Autostart {
public:
    virtual ~Autostart() = default;
    // True when the entry exists and starts exactly this executable.
    virtual bool isEnabled(const std::string& executablePath) const = 0;
    // False when the entry could not be written or removed.
    virtual bool setEnabled(bool enabled, const std::string& executablePath) = 0;
};

}  // namespace pelvano::core
