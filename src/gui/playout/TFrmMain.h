#pragma once
// TFrmMain, the player window: the small skinned console with the clock, the item's times, the
// progress bar, the level meters, the sliders and the buttons. It draws what the station tells
// it (PlayerView) and forwards every command to the station; it holds no playout rule. Its
// close request ends the program. UI thread only.
#include <QWidget>

#include "core/playout/PlayerView.h"
#include "gui/app/AppContext.h"
#include "gui/app/WindowHooks.h"

namespace pelvano::gui {

class TFrmMain : public QWidget, public core::PlayerView, public PlayerDock {
    Q_OBJECT
  public:
    static constexpr int kWidth = 297;
    static constexpr int kHeight = 147;

    explicit TFrmMain(AppContext& app);
    ~TFrmMain() override;

    // The first show after the station's start-up: placed at the stored position.
    void showPlayer();

    // PlayerDock
    QRect playerFrame() const override { return geometry(); }
    bool playerVisible() const override { return isVisible(); }
    qreal playerOpacity() const override { return windowOpacity(); }

    // PlayerView
    void setScheduleWindowVisible(bool visible) override;
    void setTranslucency(bool on, int opacity) override;
    void setApplicationTitle(const std::string& gbk) override;
    void minimizeApplication() override;
    void repaintSchedule() override;
    void setScheduleCaption(const std::string& gbk) override;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    // The exit confirmation of chkSure; true when the close goes ahead.
    bool confirmExit();

    AppContext& app_;
};

}  // namespace pelvano::gui
