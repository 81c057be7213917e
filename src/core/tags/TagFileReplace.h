#pragma once
// Rewriting a tagged file: the new tag and the audio of the old file (copied by the kernel) go
// to a new file beside it, which is flushed and renamed over the original in one step, keeping
// its permissions (AtomicFile.h). When the original cannot be replaced it stays untouched and
// the complete result is kept under the temporary name the operator is told. UI thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelvano::core {

class TagFile;

struct TagSaveResult {
    bool replaced = false;
    std::string message;     // GBK, for the operator; empty when replaced
    std::string resultPath;  // where the result stays when the original could not be replaced
};

// F with its extension replaced by "-2", followed by ".MP3": song.mp3 gives song-2.MP3.
std::string TemporaryTagFileName(const std::string& fileName);

// Writes tag followed by the bytes [audioStart, audioEnd) of source, then replaces fileName.
// Throws TagFileError when the new file cannot be created or written; the original is then
// untouched and nothing is left behind.
[[nodiscard]] TagSaveResult ReplaceTaggedFile(const std::string& fileName, std::string_view tag,
                                              const TagFile& source, std::uint64_t audioStart,
                                              std::uint64_t audioEnd);

}  // namespace pelvano::core
