#pragma once
// The silent abort: raised where an operation is refused without a message (a failed sound
// device call, a fade request out of range). The UI loop discards it without showing anything.
#include <exception>

namespace pelvano::core {

class SilentAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

}  // namespace pelvano::core
