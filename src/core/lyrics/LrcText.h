#pragma once
// LRC text: splitting into lines, expanding lines with several time tags, parsing the timed
// lines into the lyrics table, and the "[offset:N]" tag. Every operation is linear in the size
// of its input, whatever the input holds. GBK bytes. Any thread.
#include <string>
#include <string_view>
#include <vector>

#include "core/lyrics/LyricsTable.h"

namespace pelvano::core {

// Lines ended by CR, LF or CR LF; a final line end adds no empty line.
std::vector<std::string> SplitLyricLines(std::string_view text);

// A line with several "[" becomes one line per "[" (the text before the first "[" is dropped),
// in place and in order; pieces that would give no row are left out. Each time tag of a run of
// text-less time tags ("[00:01.00][00:05.00]text") takes the text of the tag that ends the run,
// so the text shows at every one of its times.
void ExpandTimeTags(std::vector<std::string>& lines);

// Replaces the table's rows by one row per line with a text after its first "]": time = inside
// the first brackets, text = up to the next "]", trimmed. Lines without text (information tags,
// lines without "]", tags alone) are skipped. Rows are ordered by time; lines of equal time keep
// their order, and a line whose tag is no time ("[]text", "[ar:x]text") stays behind the line
// before it. An empty table keeps its one empty row.
void ParseLyricLines(const std::vector<std::string>& lines, LyricsTable& table);

// The value of the first "[offset:N]" line (N in ms, letter case ignored), or 0.
int LyricOffsetMs(const std::vector<std::string>& lines);
std::string OffsetTagLine(int offsetMs);

// The whole seconds of a time text "m:s.ff": m and s as integers, each 0 when unreadable.
int WholeSecondsOf(std::string_view time);
// "%2.2d:%2.2d.00" of whole seconds; below zero gives 00:00.00.
std::string FormatWholeSeconds(long long seconds);

}  // namespace pelvano::core
