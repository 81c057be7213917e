#pragma once
// The schedule window's edits of the table: inserting and dropping files, deleting, moving
// rows, combining another schedule, selecting all, and which columns can be edited. Each one
// keeps PlayingRow on the item that is on air. UI thread.
#include <functional>
#include <string>
#include <vector>

#include "core/app/AppPaths.h"
#include "core/app/DateTime.h"
#include "core/schedule/ScheduleFile.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::core {

class EventPump;

// Fills a freshly inserted row from a stored (GBK) path; false when the file cannot be measured,
// in which case the row has been deleted again.
using RowFiller = std::function<bool(Grid& grid, int row, const std::string& storedPath)>;

// Inserts the files at row so that they stand there in list order, the former rows below them.
// Events are processed once before each file. A file that is dropped again (not measurable)
// takes back its shift of PlayingRow, so the row on air stays the row on air. Renumbers.
// Returns the number of rows kept.
int InsertFiles(ScheduleTable& table, int row, const std::vector<std::string>& storedPaths,
                const RowFiller& fill, EventPump* pump);

// The native paths of the dropped names in order: a folder gives every file below it (entries
// sorted by name, a subfolder's files where the subfolder is met), anything else the name itself.
// A folder reached twice (through a symbolic link) is entered once; unreadable folders give
// nothing. Events are processed once per dropped name.
std::vector<std::string> CollectDroppedFiles(const std::vector<std::string>& names,
                                             EventPump* pump);

// The Delete command. Row mode: the selected rows go (all of them: one empty row remains),
// PlayingRow follows its item or, when that is deleted, points above the gap. Cell mode: the
// selected cells are emptied and rows stay.
void DeleteSelection(ScheduleTable& table, const GridSelection& selection, bool rowMode);

// Where the row on air P stands after the row at from has been moved to to.
int PlayingRowAfterMove(int playingRow, int from, int to);
// Moves the row, keeps PlayingRow on its item and renumbers.
void MoveRow(ScheduleTable& table, int from, int to);

// Appends the rows of a loaded schedule (buffer) to the table and renumbers. A schedule without
// rows appends nothing. The estimates wait for the next save or open.
void AppendSchedule(ScheduleTable& table, Grid& buffer);

// Columns 1 .. last, rows 1 .. last.
void SelectAll(Grid& grid);

// Title, cross-fade, fade-in, fade-out, start time and file can be edited; number, artist,
// length and estimate cannot.
bool IsEditableColumn(int col);

// A cell text as typed, made safe for the line form of the file: "^^" would split the cell
// and a line break would split the row, so runs of '^' shrink to one, a trailing '^' goes and
// CR, LF become blanks.
std::string SanitizeCellText(std::string_view text);

// Save as proposes tomorrow's dated file in the station folder.
std::string SaveAsProposal(const AppPaths& paths, const LocalDateTime& today);
// The path with the extension of its file name replaced by (or given) ".JMB".
std::string WithJmbExtension(const std::string& path);

}  // namespace pelvano::core
