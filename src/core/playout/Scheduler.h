#pragma once
// The scheduler tick (tmCheckPlay, every 100 ms): timed starts, the displays of the item on
// air, the hand-over to the next row at its cross-fade point, the section and table loops and
// the end fade-outs over exactly the time left. UI thread.
#include <functional>
#include <string>

#include "core/app/DateTime.h"
#include "core/playout/ItemStart.h"
#include "core/playout/PlayoutContext.h"
#include "core/playout/RowOrder.h"

namespace pelvano::core {

class Scheduler {
public:
    // A timed row is made ready (and the chime armed) this long before its second: more than a
    // tick, the output's latency and the time a file takes to open.
    static constexpr std::int64_t kPrepareLeadUs = 1500000;
    // A timed second that the tick did not see (timer stopped during a start, program busy) is
    // still started up to this many seconds late.
    static constexpr int kMaxTimedLatenessSeconds = 5;
    // A timed row's file is opened this long ahead, so that its start never waits for it.
    static constexpr int kOpenAheadSeconds = 15;

    Scheduler(PlayoutContext& context, ItemStart& items) : c_(context), items_(items) {}

    void tmCheckPlayTimer();

    struct TimedHit {
        int row = 0;       // 0: none
        int lateness = 0;  // seconds after its start second
    };
    // The first timed row due at this second, or at a second passed since the previous call
    // (at most kMaxTimedLatenessSeconds ago). Each second is answered once.
    TimedHit TimedRowAt(int second);
    std::string NextRowStart() const;
    // Whether a timed row is due within that many seconds from now (timed play on).
    bool timedRowWithin(int seconds) const;
    // Dead air: the item on air fades out and the next playable row starts; the fallback fills
    // in when there is none or its start fails.
    void moveOnFromDeadAir();

    // Called when the hand-over finds nothing playable (every row failed in this pass, or the
    // table or section ended without a loop); empty: the station waits in silence.
    std::function<void()> onNothingPlayable;

private:
    // Arms the timed row due within kPrepareLeadUs (and the fade of the item on air with it).
    void prepareTimedRow(const LocalDateTime& now);
    void startTimedRow(const TimedHit& hit);
    // Asks for the files of the next row and of the timed rows due soon to be opened ahead.
    void openAhead(const LocalDateTime& now);
    // The row the hand-over goes to after `playing` (0: none), and whether it loops back.
    NextRow nextRowAfter(int playing) const;
    void showItemTimes();
    void startNextIfDue();
    // The hand-over to the row after PlayingRow (or the loop to row 1), unless that row already
    // failed in this pass.
    void startNextRow(int remainingMs);
    bool waitsForPlayableRow(int row);
    void nothingPlayable();
    void endFadeOut();

    PlayoutContext& c_;
    ItemStart& items_;
    bool scanned_ = false;  // LastTimedSecond holds a second the scheduler really saw
};

// Milliseconds still to play on a channel.
int RemainingMs(TcbDSMixerChannel& channel);

}  // namespace pelvano::core
