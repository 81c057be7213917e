#pragma once
// Keeps the lyrics display in step with the item on air: shows a row as the current line,
// draws the nine lines, and animates a line change by scrolling the old picture up one pixel per
// 50 ms tick before the new lines are drawn. UI thread only (the timer fires there too).
#include <functional>
#include <memory>

#include "core/lyrics/LyricsFrame.h"
#include "core/lyrics/LyricsSettings.h"
#include "core/lyrics/LyricsTable.h"
#include "core/ports/TimerService.h"

namespace pelvano::core {

// The display window as the lyrics logic drives it.
class LyricsView {
  public:
    virtual ~LyricsView() = default;
    // Height in pixels of the text "j" in the lyrics font.
    virtual int glyphHeight() const = 0;
    virtual int windowWidth() const = 0;
    // Draws the frame into the off-screen buffer and copies it to the window at top 0.
    virtual void showFrame(const LyricsFrame& frame) = 0;
    // Moves the window's current picture up by pixels.
    virtual void scrollUp(int pixels) = 0;
    virtual bool isShown() const = 0;
    virtual void show() = 0;
};

class LyricsDisplay {
  public:
    static constexpr std::uint32_t kScrollIntervalMs = 50;

    // editing: whether the editor's edit mode is on (then a line change leaves the grid's
    // current row alone).
    LyricsDisplay(LyricsState& state, const LyricsSettings& settings, LyricsView& view,
                  TimerService& timers, std::function<bool()> editing);

    // Rows 0 and 1 are drawn at once; a later row starts the line-change animation.
    void ShowLyricLine(int row);
    // Draws the nine lines from row on.
    void RenderLyrics(int row);
    // Called with the play position by every scheduler tick while the display is on.
    void LyricAdvance(int positionMs);
    // Called after a jump of the position.
    void LyricSeek(int positionMs);
    // The animation timer's handler.
    void tmScrllMusicTextTimer();

    bool animating() const { return timer_->enabled(); }

  private:
    LyricsState& state_;
    const LyricsSettings& settings_;
    LyricsView& view_;
    std::function<bool()> editing_;
    std::unique_ptr<Timer> timer_;
};

}  // namespace pelvano::core
