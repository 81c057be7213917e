// The ID3v2 reader on any file contents, and the rewrite: a file we save must read back with
// the texts we gave it, its audio right behind the new tag and unchanged.
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "core/tags/Id3v2Layout.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TagFile.h"
#include "support/FuzzInput.h"

namespace {

using namespace pelvano::core;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string& path = pelvano::fuzz::InputAsFile(data, size);
    TID3v2Tag tag;
    tag.ReadFromFile(path);
    const TagFile file(path);
    Id3v2Layout layout = InspectId3v2(file);
    LocateAudioEnd(file, layout);
    if (!layout.audioStart) return 0;
    check(*layout.audioStart <= layout.audioEnd && layout.audioEnd <= size);
    const std::string audio =
        input.substr(*layout.audioStart, layout.audioEnd - *layout.audioStart);

    // A real file for the rewrite (it goes through a temporary file and a rename).
    static const std::string copy = "/dev/shm/pelvano-fuzz-" + std::to_string(getpid()) + ".mp3";
    std::ofstream(copy, std::ios::binary | std::ios::trunc) << input;
    tag.Title = "Title";
    tag.Year += "1";
    const std::string year = tag.Year;
    check(tag.SaveToFile(copy, size % 2 == 1).replaced);
    const std::string saved = fileBytes(copy);
    TID3v2Tag again;
    again.ReadFromFile(copy);
    const Id3v2Layout after = InspectId3v2(TagFile(copy));
    check(again.Exists && again.Title == "Title" && again.Year == year);
    check(after.audioStart && saved.substr(*after.audioStart) == audio);
    return 0;
}
