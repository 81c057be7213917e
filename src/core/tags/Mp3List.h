#pragma once
// The MP3 list window's model: the list grid of files with their titles, artists and lengths,
// and the operations on its rows (files added from a drop, deletion, selection, moves, the tag
// of one row). Cells are GBK; the file cell keeps the path as the file system spells it.
// UI thread.
#include <string>
#include <vector>

#include "core/app/StoredPathResolver.h"
#include "core/schedule/Grid.h"
#include "core/schedule/RowFillPorts.h"
#include "core/tags/TID3v2Tag.h"

namespace pelvano::core {

class EventPump;

class Mp3List {
  public:
    // measurer: the station's measuring path; without one (no sound device) files are listed
    // with an empty length. pump: runs once per file so that the window stays responsive
    // (may be null). tag: the shared tag instance of the tag windows.
    Mp3List(StoredPathResolver resolver, DurationMeasurer* measurer, EventPump* pump,
            TID3v2Tag& tag);

    Grid sgSong{5, 2};

    // The native path of a row's file (empty for a row without one).
    std::string fileOf(int row) const;

    // Inserts the MP3 files among paths (native) before row, in their order; other files are
    // skipped, files that cannot be measured are left out, and files whose name holds a line
    // break are refused (added to refused when given): the list file keeps one row per line.
    // An empty list's placeholder row goes. Returns the number of rows added.
    int InsertFiles(int row, const std::vector<std::string>& paths,
                    std::vector<std::string>* refused = nullptr);
    // Length, path, title and artist of a file, the texts made safe for the list file; false
    // (and the row deleted) when the file cannot be measured.
    bool FillRow(int row, const std::string& nativePath);

    // Row-selection mode: removes the selected rows (one empty row stays when all go).
    // Editing mode: empties the selected cells.
    void DeleteSelection(bool editing);
    // Columns 1 .. last of every data row.
    void SelectAll();
    // Moves a data row to another place; the rows between shift by one.
    void MoveRow(int from, int to);

    // The six texts of the row's file tag, one per line (CR LF), for the information memo;
    // empty when the file does not exist.
    std::string TagInfo(int row);

  private:
    bool hasOnlyPlaceholderRow() const;

    StoredPathResolver resolver_;
    DurationMeasurer* measurer_;
    EventPump* pump_;
    TID3v2Tag& tag_;
};

}  // namespace pelvano::core
