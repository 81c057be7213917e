#pragma once
// The MP3 list file (".mpl"): one line per data row, ended by CR LF, each the plain line form
// of the row (every cell followed by "^^"). Files written by the older Windows system load as
// they are. UI thread or any single thread.
#include <string>

#include "core/schedule/Grid.h"

namespace pelvano::core {

// The columns of the MP3 list.
inline constexpr int kListColNumber = 0;
inline constexpr int kListColTitle = 1;
inline constexpr int kListColArtist = 2;
inline constexpr int kListColLength = 3;
inline constexpr int kListColFile = 4;
inline constexpr int kListColCount = 5;

// Five columns with their header texts, the rows renumbered.
void SetListHeader(Grid& grid);

// Reads the list into the grid. Never throws: a file that cannot be read gives an empty list
// (one empty data row); any bytes give rows, fields beyond the fifth are dropped.
void LoadList(const std::string& nativePath, Grid& grid);
// Writes every data row, replacing the file atomically. False, with the reason in *error,
// when it cannot be written; the old file is then as it was.
bool SaveList(const std::string& nativePath, const Grid& grid, std::string* error = nullptr);

}  // namespace pelvano::core
