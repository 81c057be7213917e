#pragma once
// Finding and reading the lyrics of an audio file: the ".lrc" file beside it or the lyrics kept
// in its MP3 tag, whichever the settings prefer. Any thread: it touches only what it is given.
#include <string>
#include <string_view>

#include "core/app/StoredPathResolver.h"
#include "core/lyrics/LyricsTable.h"
#include "core/lyrics/Mp3LyricsTag.h"

namespace pelvano::core {

struct LyricsSources {
    const StoredPathResolver& paths;
    Mp3LyricsTag& tags;
};

// path with the extension of its last component replaced (or added).
std::string WithExtension(std::string_view path, std::string_view extension);
// Whether the path names an MP3 file: its extension is ".MP3" in any letter case.
bool IsMp3Path(std::string_view path);

// Fills the table for the stored (GBK) path of an audio file. With mp3First, an MP3 file's tag
// comes first and its ".lrc" file second; without, the ".lrc" file comes first. A source without
// lyrics (missing, empty or blank) gives way to the other one, so lyrics saved to the ".lrc"
// file of an MP3 file without tag lyrics show. Any other file has only its ".lrc" file, found
// beside it with its name matched without letter case. When lyrics were taken, the display
// starts again at row 1 and true is returned; otherwise the table and the raw lines stay empty
// and the display position as it was.
bool LoadLyrics(std::string_view path, bool mp3First, const LyricsSources& sources,
                LyricsState& state);

// Makes the state show the lines of an LRC text: table, raw lines, offset, row 1, no scroll.
void TakeLyricLines(std::vector<std::string> lines, LyricsState& state);

}  // namespace pelvano::core
