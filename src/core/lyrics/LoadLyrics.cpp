#include "core/lyrics/LoadLyrics.h"

#include "core/app/FileHelpers.h"
#include "core/app/TextHelpers.h"
#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsFile.h"

namespace pelvano::core {

std::string WithExtension(std::string_view path, std::string_view extension) {
    const std::size_t folder = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && (folder == std::string_view::npos || dot > folder);
    return std::string(path.substr(0, hasExtension ? dot : path.size())) + std::string(extension);
}

bool IsMp3Path(std::string_view path) {
    return UpperAscii(ExtensionOf(path)) == ".MP3";
}

void TakeLyricLines(std::vector<std::string> lines, LyricsState& state) {
    state.rawLines = lines;
    state.offsetMs = LyricOffsetMs(lines);
    ExpandTimeTags(lines);
    ParseLyricLines(lines, state.table);
    state.LyricScrollCount = 0;
    state.CurrentLyricRow = 1;
}

bool LoadLyrics(std::string_view path, bool mp3First, const LyricsSources& sources,
                LyricsState& state) {
    state.table.reset();
    state.rawLines.clear();
    if (path.empty()) return false;
    const auto fromTag = [&] {
        return IsMp3Path(path) ? sources.tags.readLyrics(sources.paths.resolve(path))
                               : std::string();
    };
    const auto fromFile = [&] {
        std::optional<LyricsFileText> file =
            ReadLyricsFile(sources.paths.resolve(WithExtension(path, ".lrc")));
        return file ? std::move(file->text) : std::string();
    };
    // The preferred source first; one without lyrics (none, or only blanks) lets the other speak.
    std::string text = mp3First ? fromTag() : fromFile();
    if (Trim(text).empty()) text = mp3First ? fromFile() : fromTag();
    if (Trim(text).empty()) return false;
    TakeLyricLines(SplitLyricLines(text), state);
    return true;
}

}  // namespace pelvano::core
