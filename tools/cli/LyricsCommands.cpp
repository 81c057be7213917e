// pelvano-cli lyrics FILE | lyrics at FILE MS
#include <iostream>

#include "CliCommand.h"
#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"
#include "core/lyrics/LoadLyrics.h"
#include "core/lyrics/LyricsSettings.h"
#include "core/lyrics/LyricsTiming.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

constexpr const char* kUsage = "usage: lyrics FILE | lyrics at FILE MS";

std::string Utf8(std::string_view gbk) {
    return GbkToUtf8(gbk, InvalidBytes::Escape);
}

void printRow(const LyricsTable& table, int row) {
    std::cout << row << "\t" << Utf8(table.timeOf(row)) << "\t" << Utf8(table.textOf(row)) << "\n";
}

// The lyrics as the station in the current folder finds them (its settings decide between the
// ".lrc" file and the MP3 tag). False, with the message printed, when there are none: no source
// holds lyrics, or none of their lines is a timed line with a text.
bool load(const std::string& file, LyricsState& state) {
    const AppPaths station = AppPaths::ofFolder(".");
    LyricsSettings settings(station.settingsFile());
    settings.LoadLyricsSettings();
    const StoredPathResolver paths =
        StoredPathResolver::fromSettings(station.applicationDir, station.settingsFile());
    Id3v2LyricsTag tags(ReadTagTextEncoding(station.settingsFile()));
    if (LoadLyrics(Utf8ToGbk(file), settings.chkInMP3lrcFirst(), LyricsSources{paths, tags},
                   state) &&
        !state.table.textOf(1).empty())
        return true;
    failure("no lyrics for " + file);
    return false;
}

int run(const Args& args) {
    LyricsState state;
    if (args.size() == 1) {
        if (!load(args[0], state)) return 1;
        for (int r = 1; r <= state.table.lastDataRow(); ++r) {
            if (!state.table.timeOf(r).empty() || !state.table.textOf(r).empty())
                printRow(state.table, r);
        }
        return 0;
    }
    if (args.size() == 3 && args[0] == "at") {
        int ms = 0;
        if (!TryStrToInt(args[2], ms) || ms < 0)
            return usageError("not a position in ms: " + args[2]);
        if (!load(args[1], state)) return 1;
        printRow(state.table, SeekRow(state, ms));
        return 0;
    }
    return usageError(kUsage);
}

const CliRegistration kRegistration(
    "lyrics",
    "lyrics FILE | lyrics at FILE MS   the timed lines of an audio file, the line at a position",
    run);

}  // namespace

}  // namespace pelvano::cli
