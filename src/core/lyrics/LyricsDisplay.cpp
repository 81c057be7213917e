#include "core/lyrics/LyricsDisplay.h"

#include "core/lyrics/LyricsTiming.h"

namespace pelvano::core {

LyricsDisplay::LyricsDisplay(LyricsState& state, const LyricsSettings& settings, LyricsView& view,
                             TimerService& timers, std::function<bool()> editing)
    : state_(state),
      settings_(settings),
      view_(view),
      editing_(std::move(editing)),
      timer_(timers.createTimer()) {
    timer_->setInterval(kScrollIntervalMs);
    timer_->setOnTimer([this] { tmScrllMusicTextTimer(); });
}

void LyricsDisplay::ShowLyricLine(int row) {
    if (!settings_.chkPlaySongText()) return;
    if (row <= 1) {
        RenderLyrics(row);
    } else if (!timer_->enabled()) {
        timer_->setEnabled(true);
    }
}

void LyricsDisplay::RenderLyrics(int row) {
    if (!settings_.chkPlaySongText()) return;
    state_.LyricScrollCount = 0;
    view_.showFrame(
        BuildLyricsFrame(state_.table, row, settings_, view_.glyphHeight(), view_.windowWidth()));
}

void LyricsDisplay::LyricAdvance(int positionMs) {
    const int next = AdvanceRow(state_, positionMs);
    if (next == 0) return;
    state_.CurrentLyricRow = next;
    ShowLyricLine(next);
}

void LyricsDisplay::LyricSeek(int positionMs) {
    // A line change under way would scroll the new picture away.
    timer_->setEnabled(false);
    state_.CurrentLyricRow = SeekRow(state_, positionMs);
    RenderLyrics(state_.CurrentLyricRow);
}

void LyricsDisplay::tmScrllMusicTextTimer() {
    if (!settings_.chkPlaySongText()) {
        // Nothing is shown while the display is off; the next line change starts afresh.
        timer_->setEnabled(false);
        state_.LyricScrollCount = 0;
        return;
    }
    if (!view_.isShown()) view_.show();
    const int hj = view_.glyphHeight();
    ++state_.LyricScrollCount;
    if (state_.LyricScrollCount < hj + 2) {
        view_.scrollUp(1);
        return;
    }
    timer_->setEnabled(false);
    state_.LyricScrollCount = 0;
    // The grid row first, so that a view redrawing with the new lines finds it already moved.
    if (!(editing_ && editing_())) state_.table.moveToRow(state_.CurrentLyricRow);
    RenderLyrics(state_.CurrentLyricRow);
}

}  // namespace pelvano::core
