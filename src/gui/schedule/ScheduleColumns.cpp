#include "gui/schedule/ScheduleColumns.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <numeric>

namespace pelvano::gui {

namespace {

bool holdsTimesOrNames(int col) {
    return col == core::kColTitle || col == core::kColArtist || col == core::kColLength ||
           col == core::kColStartTime || col == core::kColEstimate;
}

// The band is one pixel wider than the cell and the text starts up to three pixels in.
constexpr int kTextMargins = 6;

}  // namespace

int ShownColumnWidth(int col, int storedWidth, const QFontMetrics& font) {
    if (col < 0 || col >= core::kScheduleColumns || storedWidth != kDesignColumnWidths[col] ||
        !holdsTimesOrNames(col)) {
        return storedWidth;
    }
    const int needed = std::max(font.horizontalAdvance(QStringLiteral("00:00:00")),
                                font.horizontalAdvance(QStringLiteral("演示电台"))) +
                       kTextMargins;
    return std::max(storedWidth, needed);
}

int FirstScrollingColumn(const std::vector<int>& widths, int first, int target, int viewportWidth) {
    const int count = static_cast<int>(widths.size());
    if (target <= 0 || target >= count) return first;
    if (target < first) return target;
    first = std::max(first, 1);
    const auto span = [&](int from) {
        return widths[0] + std::accumulate(widths.begin() + from, widths.begin() + target + 1, 0);
    };
    while (first < target && span(first) > viewportWidth) ++first;
    return first;
}

}  // namespace pelvano::gui
