// Prints: parsing of a 10 MB LRC text (ordinary lines, a 1 MB line of tags, unclosed brackets),
// seeks and advances over the resulting table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsTiming.h"

using namespace pelvano::core;
using Clock = std::chrono::steady_clock;

namespace {

// The fastest of three runs, in ms.
template <typename F>
double fastestMs(F run) {
    double fastest = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        run();
        fastest = std::min(fastest,
                           std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return fastest;
}

std::string OrdinaryLines(std::size_t bytes) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "[%02d:%02d.%02d]line number %d\r\n", i / 6000,
                      (i / 100) % 60, i % 100, i);
        text += line;
    }
    return text;
}

void Parse(const std::string& text, LyricsState& state) {
    std::vector<std::string> lines = SplitLyricLines(text);
    ExpandTimeTags(lines);
    ParseLyricLines(lines, state.table);
}

}  // namespace

int main() {
    const std::string ordinary = OrdinaryLines(10'000'000);
    std::string tags;
    while (tags.size() < 1'000'000) tags += "[00:01.00]";
    const std::string hostile =
        OrdinaryLines(8'000'000) + tags + "x\n" + std::string(1'000'000, '[') + "\n";

    LyricsState state;
    const double ordinaryMs = fastestMs([&] { Parse(ordinary, state); });
    const int rows = state.table.lastDataRow();
    std::printf("parse 10 MB of timed lines (%d rows): %.1f ms\n", rows, ordinaryMs);

    const double seekMs = fastestMs([&] {
        volatile int sink = 0;
        for (int p = 0; p < 100; ++p) sink = sink + SeekRow(state, p * 1000 * 60);
    });
    std::printf("seek over %d rows: %.3f ms per seek\n", rows, seekMs / 100);

    const double advanceMs = fastestMs([&] {
        state.CurrentLyricRow = 1;
        for (int p = 0; state.CurrentLyricRow < rows; p += 10) {
            if (const int next = AdvanceRow(state, p)) state.CurrentLyricRow = next;
        }
    });
    std::printf("advance through %d rows: %.1f ms\n", rows, advanceMs);

    LyricsState hostileState;
    const double hostileMs = fastestMs([&] { Parse(hostile, hostileState); });
    std::printf("parse 10 MB with a 1 MB line of tags and 1 MB of unclosed brackets: %.1f ms\n",
                hostileMs);
    return 0;
}
