#pragma once
// The schedule window's commands on the station's table: open, reload, save (the player's save
// command too), save as, combine, insert and drop files, double click. The window forwards its
// menu items, drops and clicks here and repaints afterwards; it holds no rule of its own.
// Paths given and returned are native (UTF-8). UI thread.
#include <string>
#include <vector>

#include "core/schedule/Grid.h"
#include "core/schedule/ScheduleFile.h"
#include "core/tags/FileTagTextReader.h"

namespace pelvano::core {

class Station;

class ScheduleCommands {
  public:
    explicit ScheduleCommands(Station& station);

    // The names of the schedule files of the station folder, for the top bar's selector.
    std::vector<std::string> ScheduleFileNames() const;

    // Open: the chosen file, its extension made ".JMB".
    void Open(const std::string& chosenPath);
    // Reload: an entry of the selector (a file name of the station folder); empty: nothing.
    void Reload(const std::string& entry);
    // The player's save command: the table to CurrentSchedulePath, the estimates, a short
    // pause for the bar, and the resume keys. A failed write is reported; the table stays.
    SaveResult Save(ScheduleProgressView* progress);
    // Save as: the table written to the chosen file (extension ".JMB") and reopened from it.
    // A failed write keeps the table and the current path, so nothing is lost.
    SaveResult SaveAs(const std::string& chosenPath, ScheduleProgressView* progress);
    // What the save-as dialog proposes: tomorrow's dated file.
    std::string SaveAsProposal() const;
    // Appends the rows of another schedule file; no save, no estimates until the next one.
    void Combine(const std::string& path);

    // Inserts audio files at row (list order); files that cannot be measured are left out.
    // Returns the number of rows added.
    int InsertFiles(int row, const std::vector<std::string>& nativePaths);
    // Files and folders dropped on row: row 0 or less does nothing (false). Otherwise every file
    // is collected, inserted, and the schedule saved.
    bool DropFiles(int row, const std::vector<std::string>& names, ScheduleProgressView* progress,
                   SaveResult* saved = nullptr);

    // Double click on the current row: the item on air fades out, the row starts.
    void DoubleClick();

  private:
    Station& station_;
    Grid sg_;  // the buffer of the combine command
    FileTagTextReader tags_;
};

}  // namespace pelvano::core
