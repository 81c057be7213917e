#include "core/schedule/ScheduleEdits.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/app/FileHelpers.h"
#include "core/app/TextHelpers.h"
#include "core/ports/EventPump.h"
#include "core/schedule/GridRows.h"

namespace pelvano::core {

namespace fs = std::filesystem;

namespace {

void renumberSchedule(Grid& grid) {
    Renumber(grid, kColNumber, 1, ' ', 4);
}

void processOnce(EventPump* pump) {
    if (pump) pump->processPendingEvents();
}

// Depth-first, entries by name; visited holds the canonical folders already entered.
void collectFolder(const fs::path& folder, std::set<fs::path>& visited,
                   std::vector<std::string>& out) {
    std::error_code ec;
    const fs::path canonical = fs::canonical(folder, ec);
    if (ec || !visited.insert(canonical).second) return;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
        if (fs::is_directory(entry, ec)) {
            collectFolder(entry, visited, out);
        } else {
            out.push_back(entry.string());
        }
    }
}

}  // namespace

int InsertFiles(ScheduleTable& table, int row, const std::vector<std::string>& storedPaths,
                const RowFiller& fill, EventPump* pump) {
    int kept = 0;
    for (auto it = storedPaths.rbegin(); it != storedPaths.rend(); ++it) {
        processOnce(pump);
        const bool shifted = table.PlayingRow >= row;
        if (shifted) ++table.PlayingRow;
        InsertEmptyRow(table.sgJM, row);
        if (fill(table.sgJM, row, *it)) {
            ++kept;
        } else if (shifted) {
            --table.PlayingRow;  // the row went again: the item on air is where it was
        }
    }
    renumberSchedule(table.sgJM);
    return kept;
}

std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& names,
                                             EventPump* pump) {
    std::vector<std::string> out;
    std::set<fs::path> visited;
    for (const std::string& name : names) {
        processOnce(pump);
        std::error_code ec;
        if (fs::is_directory(name, ec)) {
            collectFolder(name, visited, out);
        } else {
            out.push_back(name);
        }
    }
    return out;
}

void DeleteSelection(ScheduleTable& table, const GridSelection& selection, bool rowMode) {
    Grid& grid = table.sgJM;
    const int last = grid.rowCount() - 1;
    const int top = std::clamp(std::min(selection.top, selection.bottom), 1, last);
    const int bottom = std::clamp(std::max(selection.top, selection.bottom), 1, last);
    if (!rowMode) {
        for (int r = bottom; r >= top; --r) {
            for (int col = std::max(0, selection.left);
                 col <= std::min(selection.right, grid.colCount() - 1); ++col) {
                grid.setCell(col, r, {});
            }
        }
        return;
    }
    if (top == 1 && bottom == last) {
        ClearRows(grid);
        return;
    }
    int& p = table.PlayingRow;
    if (bottom < p) {
        p -= bottom - top + 1;
    } else if (top <= p && p <= bottom) {
        p = top - 1;
    }
    for (int r = bottom; r >= top; --r) DeleteRow(grid, r);
    renumberSchedule(grid);
}

int PlayingRowAfterMove(int p, int from, int to) {
    if (from == p) return to;
    if (to == p) return p < from ? to + 1 : to - 1;
    if (from < p && p < to) return p - 1;
    if (to < p && p < from) return p + 1;
    return p;
}

void MoveRow(ScheduleTable& table, int from, int to) {
    Grid& grid = table.sgJM;
    if (from < 1 || to < 1 || from >= grid.rowCount() || to >= grid.rowCount() || from == to)
        return;
    grid.moveRow(from, to);
    table.PlayingRow = PlayingRowAfterMove(table.PlayingRow, from, to);
    renumberSchedule(grid);
}

void AppendSchedule(ScheduleTable& table, Grid& buffer) {
    SetHeaderRow(table.sgJM, ScheduleHeaderTexts());
    // An empty file leaves one empty row in the buffer: numbering it would append it.
    if (buffer.rowCount() == 2 &&
        RowToLine(buffer, 1).size() == kCellSeparator.size() * buffer.colCount())
        return;
    renumberSchedule(buffer);
    AppendRows(buffer, table.sgJM);
    renumberSchedule(table.sgJM);
}

void SelectAll(Grid& grid) {
    grid.setSelection({1, 1, grid.colCount() - 1, grid.rowCount() - 1});
}

bool IsEditableColumn(int col) {
    switch (col) {
        case kColTitle:
        case kColCross:
        case kColFadeIn:
        case kColFadeOut:
        case kColStartTime:
        case kColFile:
            return true;
        default:
            return false;
    }
}

std::string SanitizeCellText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '^' && !out.empty() && out.back() == '^') continue;
        out.push_back(c == '\r' || c == '\n' ? ' ' : c);
    }
    while (!out.empty() && out.back() == '^') out.pop_back();  // it would join the separator
    return out;
}

std::string SaveAsProposal(const AppPaths& paths, const LocalDateTime& today) {
    return paths.applicationDir + FormatDate(today.addDays(1), true) + ".JMB";
}

std::string WithJmbExtension(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    return path.substr(0, path.size() - ext.size()) + ".JMB";
}

}  // namespace pelvano::core
