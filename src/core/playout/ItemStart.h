#pragma once
// Putting one schedule row on air, the operator's transport commands and the channel event
// handlers. The scheduler decides when; this does the starting and finishing. UI thread.
#include <cstdint>
#include <optional>
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
    // The same for a timed row due at dueUs (Clock::tickUs scale).
    void StartTimedRow(std::int64_t dueUs);

    // Makes a timed row ready ahead of its second: its file on the free item channel, armed to
    // sound at dueUs (Clock::tickUs scale), and the fade-out of the item on air with it. The
    // start at that second then adopts it, so that the first sample is on time whenever the
    // tick comes. False (nothing prepared) when the file is missing or fails to open, or the
    // free channel still sounds (the tail of the previous item's fade) and takeSoundingChannel
    // is off; the start then goes as ever. With takeSoundingChannel (the last tick before the
    // second) that tail ends now: the start at the tick would cut it anyway, a tick late.
    bool PrepareTimedStart(int row, std::int64_t dueUs, bool takeSoundingChannel = false);
    // The row prepared and not yet started, and when it is due.
    std::optional<int> preparedRow() const;
    std::int64_t preparedDueUs() const { return prepared_ ? prepared_->dueUs : 0; }
    // Silences and forgets a prepared start that will not be adopted.
    void CancelPreparedStart();
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
    struct PreparedStart {
        int row = 0;
        std::string native;
        TcbDSMixerChannel* channel = nullptr;
        TcbDSMixerChannel* fadedChannel = nullptr;  // the item on air, its fade-out armed too
        std::int64_t dueUs = 0;
    };
    TcbDSMixerChannel& freeItemChannel() const;
    // Tells nowplaying.json and the listener that the row went on air.
    void announce(int row);
    void recordEnd(TcbDSMixerChannel& channel, bool natural);

    PlayoutContext& c_;
    int progressMaximum_ = 0;
    std::optional<PreparedStart> prepared_;
    std::optional<std::int64_t> timedDueUs_;  // while a timed row starts
};

// The GBK file name (without folder) of the item on a channel, as stored; for a file the
// schedule did not give (a time signal), the name found on disk.
std::string ChannelFileName(const PlayoutState& state, const TcbDSMixerChannel& channel);

}  // namespace pelvano::core
