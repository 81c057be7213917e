#pragma once
// Putting one schedule row on air, the operator's transport commands and the channel event
// handlers. The scheduler decides when; this does the starting and finishing. Files are opened
// by the ItemPreparer on a worker: a start takes the prepared reader, and a start whose file is
// not ready yet is logged at once and goes on air once the reader is. UI thread.
#include <cstdint>
#include <optional>
#include <string>

#include "core/playout/ItemPreparer.h"
#include "core/playout/PlayoutContext.h"
#include "core/playout/PlayoutState.h"

namespace pelvano::core {

class TcbDSMixerChannel;

class ItemStart {
  public:
    ItemStart(PlayoutContext& context, ItemPreparer& preparer);

    // Cross-fade, fade-in and fade-out seconds of a row: its cells, else the settings.
    ItemTimes ItemTimesOf(int row) const;
    // Starts the schedule grid's current row. A row that cannot start is logged with its reason
    // and remembered for this pass (PlayoutState::Unplayable); the engine's error still reaches
    // the caller (the UI loop when the start waited for its file).
    void StartSelectedRow();
    // A start that waits for its file; the scheduler hands over to no other row meanwhile.
    bool startWaiting() const { return waiting_.has_value(); }
    // Opens a row's file ahead on the worker (nothing when it is prepared or under way).
    void PrepareRow(int row);
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
    // Starts that failed since the station started (a missing, unreadable or slow file).
    std::uint64_t failedStarts() const { return failedStarts_; }

  private:
    struct PreparedStart {
        int row = 0;
        std::string storedPath;
        TcbDSMixerChannel* channel = nullptr;
        TcbDSMixerChannel* fadedChannel = nullptr;  // the item on air, its fade-out armed too
        std::int64_t dueUs = 0;
    };
    struct WaitingStart {
        int row = 0;
        std::string storedPath;
        std::optional<std::int64_t> dueUs;
    };
    TcbDSMixerChannel& freeItemChannel() const;
    // The start after "开始准备播放": the reader on the free channel, the logs, the displays.
    void completeStart(int row, const std::string& storedPath);
    // The item's part of it; false (logged) when its file cannot play.
    bool startItem(int row, const std::string& storedPath);
    void showLength(TcbDSMixerChannel& ch);
    // The row's file, prepared or (not asked for) opened now; Missing, Failed or TimedOut when
    // it cannot play, Pending when it is still being opened.
    ItemPreparer::Taken takeFile(const std::string& storedPath);
    void onPrepared(const std::string& storedPath);
    void onExactDuration(const std::string& native, std::int64_t duration);
    // The start of a row whose file cannot play: logged, remembered, the error passed on.
    void failStart(int row, const ItemPreparer::Taken& file);
    // Tells nowplaying.json and the listener that the row went on air.
    void announce(int row);
    void recordEnd(TcbDSMixerChannel& channel, bool natural);
    // The row cannot play in this pass; counted.
    void markUnplayable(int row);

    PlayoutContext& c_;
    int progressMaximum_ = 0;
    std::uint64_t failedStarts_ = 0;
    std::optional<PreparedStart> prepared_;
    std::optional<std::int64_t> timedDueUs_;  // while a timed row starts
    ItemPreparer& preparer_;
    std::optional<WaitingStart> waiting_;
};

// The GBK file name (without folder) of the item on a channel, as stored; for a file the
// schedule did not give (a time signal), the name found on disk.
std::string ChannelFileName(const PlayoutState& state, const TcbDSMixerChannel& channel);

}  // namespace pelvano::core
