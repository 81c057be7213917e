#pragma once
// The as-run log: proof of what went on air, one line per item, beside the play-process log
// (History/YYYY-MM-DD.asrun.csv: UTF-8 with a byte-order mark so spreadsheets read the Chinese
// texts, a header line, each line appended whole when its item ends, through the file queue).
// It holds the measured time of each item's first audible sample, taken from the output's own
// timing. UI thread.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pelvano::core {

class Clock;
class FileWriteQueue;
class TcbDSMixerChannel;

enum class AsRunEnd { Natural, Faded, Stopped, Error };

struct AsRunItem {
    int row = 0;
    std::string title;  // GBK, as the schedule holds them
    std::string artist;
    std::string file;
    std::optional<std::int64_t> dueUs;  // a timed row: the tick of its scheduled second
};

class AsRunLog {
  public:
    static constexpr int kChannels = 2;
    // folder: the History folder (native path, trailing '/').
    AsRunLog(const Clock& clock, std::string folder, FileWriteQueue& files)
        : clock_(clock), folder_(std::move(folder)), files_(files) {}

    // An item went on air on a channel (0 or 1); an item still open there ends as stopped.
    void started(int channel, TcbDSMixerChannel& ch, const AsRunItem& item);
    // Picks up the first-sample times the output has measured since the last call.
    void poll();
    // The item on a channel ended; nothing happens when none is open there.
    void ended(int channel, AsRunEnd how);
    // The station closes: every item still on air ends as stopped.
    void closeAll();

    // Told, once per timed item, how late its first sample was heard (microseconds; negative:
    // early) as soon as the output has measured it.
    std::function<void(std::int64_t latenessUs)> onTimedLateness;

    static const char* header();
    // Appends a line to an as-run file, the byte-order mark and header first when the file is
    // new or empty; a file found without its header gets it in front. Any thread.
    static bool appendLine(const std::string& path, const std::string& line, std::string* error);

  private:
    struct Open {
        AsRunItem item;
        TcbDSMixerChannel* channel = nullptr;
        std::optional<std::int64_t> onAirUs;
    };
    void write(const Open& open, AsRunEnd how);
    // Takes the first-sample time when the output has measured it.
    void measure(Open& open);

    const Clock& clock_;
    std::string folder_;
    FileWriteQueue& files_;
    std::array<std::optional<Open>, kChannels> open_;
};

// One CSV text field: quoted when it holds a comma, a quote or a line break; a text that a
// spreadsheet would take for a formula (it starts with =, +, -, @, tab or CR) gets a leading '.
std::string CsvField(const std::string& text);

}  // namespace pelvano::core
