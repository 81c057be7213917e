#pragma once
// The fuzz input as a file the readers can open by name: an in-memory file (memfd) reached
// through /proc/self/fd, rewritten for every input.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelvano::fuzz {

// The path of a file holding exactly these bytes until the next call.
const std::string& InputAsFile(const std::uint8_t* data, std::size_t size);

}  // namespace pelvano::fuzz
