#pragma once
// The schedule grid's columns across the window: their design widths, the widths shown in the
// font in use, and which columns scroll past the fixed number column. UI thread only.
#include <vector>

#include "core/schedule/ScheduleTable.h"

class QFontMetrics;

namespace pelvano::gui {

inline constexpr int kDesignColumnWidths[core::kScheduleColumns] = {30, 111, 46, 55,  34,
                                                                    63, 55,  32, 441, 48};

// The width column col is shown with. The design widths were measured for a Windows font: a
// column of times or names still at its design width is widened until a time and four CJK
// characters fit in the font in use. A width the operator set is kept.
int ShownColumnWidth(int col, int storedWidth, const QFontMetrics& font);

// Column 0 never scrolls; the columns after it scroll by whole columns, as they do with the
// keys. Given every column's width, the first scrolling column shown and the column to bring
// into view, returns the first scrolling column to show: target itself when it lies to the
// left, else the nearest one from which target fits whole in viewportWidth (target itself when
// it cannot fit). Target 0 (the fixed column) keeps the columns as they are.
int FirstScrollingColumn(const std::vector<int>& widths, int first, int target, int viewportWidth);

}  // namespace pelvano::gui
