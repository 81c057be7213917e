#pragma once
// How the windows reach one another without knowing each other's classes: the player exposes
// its place on the screen (PlayerDock) and calls the schedule window through
// ScheduleWindowHooks; the station's lyrics calls go to whichever window attached itself to
// the LyricsRelay. UI thread only.
#include <QRect>
#include <QWidget>
#include <string>
#include <utility>

#include "core/app/Colors.h"
#include "core/playout/PlayerView.h"

namespace pelvano::gui {

// The player window as the docked schedule window sees it.
class PlayerDock {
  public:
    virtual ~PlayerDock() = default;
    // The player's frame on the screen (frameless: its geometry).
    virtual QRect playerFrame() const = 0;
    virtual bool playerVisible() const = 0;
    // The opacity both windows share: 1.0 when translucency is off, else max(160, tbTrs) / 255.
    virtual qreal playerOpacity() const = 0;
};

// What the player and the station ask of the schedule window (TFrmPlayJM implements it).
class ScheduleWindowHooks {
  public:
    virtual ~ScheduleWindowHooks() = default;
    virtual QWidget* scheduleWidget() = 0;
    // The grid marks the playing row.
    virtual void repaintSchedule() {}
    // The caption of the loaded schedule, GBK.
    virtual void setScheduleCaption(const std::string& /*gbk*/) {}
    // btnSel: show or hide the file-selection panel at the window's top.
    virtual void toggleFileSelection() {}
    // The colour style's accent: grid drawing, panel and file selector.
    virtual void applyAccentColour(core::TColor /*accent*/) {}
    // After the player was dragged: left edge under the player, top = player's bottom.
    virtual void dockUnder(const QRect& playerFrame) {
        scheduleWidget()->move(playerFrame.left(), playerFrame.top() + playerFrame.height());
    }
};

// The LyricsHooks the station is built with: forwards to the lyrics window once it has
// attached itself, answers with the defaults (no lyrics) until then.
class LyricsRelay final : public core::LyricsHooks {
  public:
    void attach(core::LyricsHooks* target) { target_ = target; }
    core::LyricsHooks* target() const { return target_; }

    bool chkPlaySongText() const override { return target_ && target_->chkPlaySongText(); }
    bool chkEditMusic() const override { return target_ && target_->chkEditMusic(); }
    void itemStarted(const std::string& path) override {
        if (target_) target_->itemStarted(path);
    }
    void setDisplayVisible(bool visible) override {
        if (target_) target_->setDisplayVisible(visible);
    }
    void LyricAdvance(int ms) override {
        if (target_) target_->LyricAdvance(ms);
    }
    void LyricSeek(int ms) override {
        if (target_) target_->LyricSeek(ms);
    }

  private:
    core::LyricsHooks* target_ = nullptr;
};

// The PlayerView the station is built with, before the player window exists: forwards to the
// player once it has attached itself.
class PlayerViewRelay final : public core::PlayerView {
  public:
    void attach(core::PlayerView* target) { target_ = target; }

    void setProgressVisible(bool v) override { call(&PlayerView::setProgressVisible, v); }
    void setProgressMaximum(int v) override { call(&PlayerView::setProgressMaximum, v); }
    void setProgressPosition(int v) override { call(&PlayerView::setProgressPosition, v); }
    void setProgressCaption(const std::string& v) override {
        call(&PlayerView::setProgressCaption, v);
    }
    void setLabel(core::PlayerLabel l, const std::string& v) override {
        call(&PlayerView::setLabel, l, v);
    }
    void setApplicationTitle(const std::string& v) override {
        call(&PlayerView::setApplicationTitle, v);
    }
    void repaintSchedule() override { call(&PlayerView::repaintSchedule); }
    void setScheduleCaption(const std::string& v) override {
        call(&PlayerView::setScheduleCaption, v);
    }
    void setScheduleWindowVisible(bool v) override {
        call(&PlayerView::setScheduleWindowVisible, v);
    }
    void showPlayoutHold(unsigned owners) override { call(&PlayerView::showPlayoutHold, owners); }
    void minimizeApplication() override { call(&PlayerView::minimizeApplication); }
    void setTranslucency(bool on, int v) override { call(&PlayerView::setTranslucency, on, v); }
    void applyColorStyle(core::ColorStyle v) override { call(&PlayerView::applyColorStyle, v); }
    void setLevels(double l, double r) override { call(&PlayerView::setLevels, l, r); }

  private:
    template <class F, class... A>
    void call(F f, A&&... a) {
        if (target_) (target_->*f)(std::forward<A>(a)...);
    }
    core::PlayerView* target_ = nullptr;
};

}  // namespace pelvano::gui
