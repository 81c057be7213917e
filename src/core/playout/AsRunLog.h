#pragma once
// The as-run log: proof of what went on air, one line per item, beside the play-process log
// (History/YYYY-MM-DD.asrun.csv, UTF-8, a header line, each line appended and flushed when its
// item ends). It holds the measured time of each item's first audible sample, taken from the
// output's own timing. UI thread.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pelvano::core {

class Clock;
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
    AsRunLog(const Clock& clock, std::string folder) : clock_(clock), folder_(std::move(folder)) {}

    // An item went on air on a channel (0 or 1); an item still open there ends as stopped.
    void started(int channel, TcbDSMixerChannel& ch, const AsRunItem& item);
    // Picks up the first-sample times the output has measured since the last call.
    void poll();
    // The item on a channel ended; nothing happens when none is open there.
    void ended(int channel, AsRunEnd how);
    // The station closes: every item still on air ends as stopped.
    void closeAll();

    static const char* header();

  private:
    struct Open {
        AsRunItem item;
        TcbDSMixerChannel* channel = nullptr;
        std::optional<std::int64_t> onAirUs;
    };
    void write(const Open& open, AsRunEnd how);

    const Clock& clock_;
    std::string folder_;
    std::array<std::optional<Open>, kChannels> open_;
};

// One CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

}  // namespace pelvano::core
