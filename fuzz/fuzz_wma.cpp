// The ASF header reader on any file contents.
#include "core/tags/TWma_Tag.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelvano::core::TWma_Tag tag;
    tag.ReadFromFile(pelvano::fuzz::InputAsFile(data, size));
    return 0;
}
