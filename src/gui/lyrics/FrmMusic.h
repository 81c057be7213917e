#pragma once
// TFrmMusic, the lyrics display ("歌词播放"): a frameless window, always on top, that never takes
// the keyboard focus. Black is keyed out, the rest shows with the opacity of the settings. It
// draws the nine lines of the core's LyricsFrame and scrolls the old picture up during a line
// change; the core's LyricsDisplay decides what and when. It is what the station calls for the
// lyrics (LyricsHooks), and it owns the lyrics of the item on air, the display settings and the
// tag access that the editor window shares.
// UI thread only (the scroll timer fires there too).
#include <QImage>
#include <QPoint>
#include <QWidget>

#include "core/lyrics/LyricsDisplay.h"
#include "core/lyrics/LyricsLoader.h"
#include "core/lyrics/LyricsSettings.h"
#include "core/lyrics/LyricsTable.h"
#include "core/lyrics/Mp3LyricsTag.h"
#include "core/playout/PlayerView.h"

namespace pelvano::core {
class LyricsEditor;
class Station;
}  // namespace pelvano::core

namespace pelvano::gui {

class TFrmMusic final : public QWidget, public core::LyricsView, public core::LyricsHooks {
    Q_OBJECT
  public:
    // timers: the UI thread's timers (the scroll timer is made from them).
    TFrmMusic(core::Station& station, core::TimerService& timers, QWidget* parent = nullptr);

    core::LyricsState& lyrics() { return state_; }
    core::LyricsSettings& settings() { return settings_; }
    core::LyricsDisplay& display() { return display_; }
    core::Mp3LyricsTag& tags() { return tags_; }
    // The editor whose edit mode holds the playout and keeps the grid row; null: none.
    void attachEditor(const core::LyricsEditor* editor) { editor_ = editor; }
    // Position, size, opacity and visibility after the settings were applied.
    void applyPlacement(const core::LyricsWindowPlacement& placement);
    // The frame last drawn (what the window shows at scroll 0).
    const core::LyricsFrame& lastFrame() const { return frame_; }
    int scrolledPixels() const { return scrolled_; }

    // core::LyricsHooks
    bool chkPlaySongText() const override;
    bool chkEditMusic() const override;
    // Reads the item's lyrics on a worker; they show when the read returns.
    void itemStarted(const std::string& nativePath) override;
    // The item on air was stopped to rewrite its file: its lyrics leave the display, unless
    // the editor's edit mode is timing them.
    void itemReleased();
    void setDisplayVisible(bool visible) override;
    void LyricAdvance(int positionMs) override;
    void LyricSeek(int positionMs) override;

    // core::LyricsView
    int glyphHeight() const override;
    int windowWidth() const override;
    void showFrame(const core::LyricsFrame& frame) override;
    void scrollUp(int pixels) override;
    bool isShown() const override;
    void show() override;

  signals:
    // New lyrics were loaded for an item (the table was replaced).
    void lyricsLoaded();
    // A frame was drawn: the current line may have moved.
    void frameShown();
    // The operator is dragging the window: its new Left and Top.
    void moved(int left, int top);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    core::Station& station_;
    core::LyricsState state_;
    core::LyricsSettings settings_;
    core::Id3v2LyricsTag tags_;
    core::LyricsDisplay display_;
    core::LyricsLoader loader_;
    const core::LyricsEditor* editor_ = nullptr;
    core::LyricsFrame frame_;
    // The frame as drawn, black still black (the drawing buffer), and as shown, black keyed out.
    QImage buffer_;
    QImage keyed_;
    int scrolled_ = 0;
    bool dragging_ = false;
    QPoint grabOffset_;
};

// The picture with every pure black pixel made fully transparent, the rest opaque.
QImage KeyOutBlack(const QImage& picture);

}  // namespace pelvano::gui
