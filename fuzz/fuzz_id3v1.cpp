// The ID3v1 reader on any file contents.
#include "core/tags/TID3v1Tag.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelvano::core::TID3v1Tag tag;
    tag.ReadFromFile(pelvano::fuzz::InputAsFile(data, size));
    return 0;
}
