#pragma once
// Writing the list's titles, artists and albums into the files' tags: one row, or every row in
// turn (the batch update) until it ends or is stopped. A file that cannot be read or written,
// or is marked read-only, is left exactly as it was and reported; the batch goes on with the
// next row. UI thread: the batch runs inside an event handler and runs the event pump after
// each file, so a click on the stop toggle lands between two files.
#include <string>

#include "core/tags/Mp3List.h"

namespace pelvano::core {

class EventPump;

// What the window shows while a batch runs. Texts are GBK.
class Mp3BatchView {
  public:
    virtual ~Mp3BatchView() = default;
    // After each row: the window caption becomes "row/count".
    virtual void batchProgress(int row, int count) = 0;
    // A file left unchanged, and why; a line of the information memo.
    virtual void batchReport(const std::string& line) = 0;
};

struct TagUpdateResult {
    bool written = false;
    std::string problem;  // GBK; empty when written (or when the file was missing and skipped)
};

class Mp3ListUpdater {
  public:
    Mp3ListUpdater(Mp3List& list, TID3v2Tag& tag, EventPump* pump)
        : list_(list), tag_(tag), pump_(pump) {}

    // True when no batch runs, or a running one is asked to stop after the current file.
    bool BatchStop = true;
    bool batchRunning() const { return running_; }

    // The current row's file: title from the list, artist and album from the boxes; the other
    // frames of the tag stay. A missing file is skipped.
    TagUpdateResult UpdateRow(int row, const std::string& album, const std::string& artist);
    // Every data row in turn while BatchStop stays clear: title and artist from the list (the
    // artist box for rows without one), album from the album box. Returns the number of files
    // written. BatchStop is set again at the end, also when an error interrupts the loop.
    int RunBatch(const std::string& album, const std::string& artist, Mp3BatchView& view);

  private:
    TagUpdateResult updateFile(const std::string& path, const std::string& title,
                               const std::string& artist, const std::string& album);

    Mp3List& list_;
    TID3v2Tag& tag_;
    EventPump* pump_;
    bool running_ = false;
};

}  // namespace pelvano::core
