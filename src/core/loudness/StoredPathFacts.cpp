#include "core/loudness/StoredPathFacts.h"

#include <cmath>

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"

namespace pelvano::core {

std::optional<LoudnessFacts> FactsOfStoredPath(const LoudnessBook& book,
                                               const std::string& applicationDir,
                                               const std::string& storedPath) {
    if (storedPath.empty() || (storedPath.size() > 1 && storedPath[1] == ':')) return std::nullopt;
    const bool absolute = storedPath[0] == '/' || storedPath[0] == '\\';
    std::string native = absolute ? "" : applicationDir;
    bool first = true;
    for (const std::string& part : SplitStoredPath(storedPath)) {
        if (!first || absolute) native += '/';
        native += GbkToUtf8(part);
        first = false;
    }
    return book.find(native);
}

RowSeconds CuedRowSeconds(const Grid& grid, const LoudnessBook& book,
                          const LoudnessSettings& settings, const std::string& applicationDir) {
    return [&grid, &book, &settings, applicationDir](int row) -> std::optional<int> {
        if (!settings.TrimSilence) return std::nullopt;
        const auto facts = FactsOfStoredPath(book, applicationDir, grid.cell(kColFile, row));
        if (!facts || facts->estimate || facts->cueOutSeconds <= facts->cueInSeconds)
            return std::nullopt;
        return static_cast<int>(std::lround(facts->cueOutSeconds - facts->cueInSeconds));
    };
}

}  // namespace pelvano::core
