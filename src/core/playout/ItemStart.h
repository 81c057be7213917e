#pragma once
// Putting one schedule row on air, the operator's transport commands and the channel event
// handlers. The scheduler decides when; this does the starting and finishing. UI thread.
#include <string>

#include "core/playout/PlayoutContext.h"
#include "core/playout/PlayoutState.h"

namespace pelvano::core {

class TcbDSMixerChannel;

class ItemStart {
public:
    explicit ItemStart(PlayoutContext& context) : c_(context) {}

    // Cross-fade, fade-in and fade-out seconds of a row: its cells, else the settings.
    ItemTimes ItemTimesOf(int row) const;
    // Starts the file of a stored path on the free item channel. False when no file is there;
    // the engine's error when the file cannot be played.
    bool StartItem(const std::string& storedPath);
    // Starts the schedule grid's current row. A row that cannot start is logged with its reason
    // and remembered for this pass (PlayoutState::Unplayable); the engine's error still reaches
    // the caller.
    void StartSelectedRow();
    // The log line of a row that could not start, with the reason (GBK or the engine's English).
    void LogStartFailure(int row, const std::string& reason);

    // The item on air fades out over the default fade-out length, and the log says so.
    void FadeOutCurrentItem();

    void btnPlayClick();
    void btnPauseClick();
    void btnStopClick();
    // The mouse was released over the progress bar at column x of a bar width pixels wide.
    void PBMouseUp(int x, int width);

    void onFadeEnd(TcbDSMixerChannel& channel);
    void onNaturalEnd(TcbDSMixerChannel& channel);

    int progressMaximum() const { return progressMaximum_; }

private:
    PlayoutContext& c_;
    int progressMaximum_ = 0;
};

// The GBK file name (without folder) of the item on a channel, as stored; for a file the
// schedule did not give (a time signal), the name found on disk.
std::string ChannelFileName(const PlayoutState& state, const TcbDSMixerChannel& channel);

}  // namespace pelvano::core
