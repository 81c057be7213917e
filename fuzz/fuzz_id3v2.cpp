// The ID3v2 reader on any file contents, and the new tag it would write with the old frames
// kept.
#include "core/tags/Id3v2Layout.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TagFile.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    const std::string& path = pelvano::fuzz::InputAsFile(data, size);
    TID3v2Tag tag;
    tag.ReadFromFile(path);
    const Id3v2Layout layout = InspectId3v2(TagFile(path));
    if (layout.audioStart && (*layout.audioStart > layout.audioEnd || layout.audioEnd > size))
        __builtin_trap();
    return 0;
}
