#pragma once
// The schedule file (".JMB"): one line per data row, ended by CR LF, each the scrambled line
// form of the row; no header, no trailer. The grid's layout (column widths, fixed rows and
// columns, the holding window's size) lives in the settings file, section "播出表". UI thread.
#include <functional>
#include <string>
#include <string_view>

#include "core/schedule/Grid.h"

namespace pelvano::core {

class EventPump;

// Each byte XOR 0x6B as two upper-case hexadecimal digits.
std::string ScrambleLine(std::string_view plain);
// The reverse; an invalid pair reads as 0 (byte 0x6B), a trailing odd character is ignored.
std::string UnscrambleLine(std::string_view stored);

// Calls onLine for each stored line of a schedule file's bytes; CR LF, LF and a lone CR end a
// line, and a last line without an ending counts too.
void ForEachScheduleLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine);

// What long loads and saves show while they run. The texts are GBK.
class ScheduleProgressView {
public:
    virtual ~ScheduleProgressView() = default;
    virtual void beginProgress(int maximum, const std::string& suffix) = 0;
    virtual void setProgress(int position) = 0;
    virtual void endProgress(const std::string& suffix) = 0;
    // The schedule window is disabled for input while a save runs.
    virtual void setInputEnabled(bool enabled) = 0;
};

// The client size of the window that holds the grid; stored with the layout.
struct HolderSize {
    int width = 0;
    int height = 0;
};

struct ScheduleIoOptions {
    std::string settingsFile;     // where the layout keys live; empty: none are read or written
    bool keepMessage = true;      // chkKeepMessage: process pending events once per row
    EventPump* pump = nullptr;
    ScheduleProgressView* progress = nullptr;
    HolderSize* holder = nullptr;  // read back on load, stored on save
};

// Reads the file into the grid (row count 2 first, data row 1 cleared) and applies the layout
// keys. A file that cannot be opened reads as empty.
void LoadSchedule(const std::string& path, Grid& grid, const ScheduleIoOptions& options);

struct SaveResult {
    bool ok = true;
    std::string error;  // why the schedule or its layout keys could not be written
};

// Writes every data row, replacing the file atomically, then the layout keys. A failure leaves
// the old file as it was and is reported.
SaveResult SaveSchedule(const std::string& path, const Grid& grid, const ScheduleIoOptions& options);

}  // namespace pelvano::core
