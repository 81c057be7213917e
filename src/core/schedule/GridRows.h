#pragma once
// Row operations shared by every grid of the system (schedule, MP3 list, lyrics). A row's cells
// are joined by "^^" in its line form; cell texts cannot contain "^^". UI thread.
#include <string>
#include <string_view>
#include <vector>

#include "core/schedule/Grid.h"

namespace pelvano::core {

inline constexpr std::string_view kCellSeparator = "^^";

// Every cell of the row, each followed by "^^".
std::string RowToLine(const Grid& grid, int row);
int CountSeparators(std::string_view text);
// Clears the row, then fills it from the line; fields beyond the column count are dropped.
void LineToRow(std::string_view text, Grid& grid, int row);
void SetHeaderRow(Grid& grid, const std::vector<std::string>& texts);
void Renumber(Grid& grid, int column, int first, char padChar, int width);
void CopyRow(Grid& grid, int from, int to);
// A cleared row before index; it becomes the current row.
void InsertEmptyRow(Grid& grid, int index);
// Removes the row; with one data row, that row is only cleared.
void DeleteRow(Grid& grid, int index);
// Appends the data rows of source to target (reusing an empty single data row of target).
void AppendRows(const Grid& source, Grid& target);
void ClearRows(Grid& grid);

}  // namespace pelvano::core
