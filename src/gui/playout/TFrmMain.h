#pragma once
// TFrmMain, the player window: the small skinned console with the clock, the item's times, the
// progress bar, the level meters, the sliders and the buttons. It draws what the station tells
// it (PlayerView) and forwards every command to the station; it holds no playout rule. It is
// frameless, cut to the shape of its skin (pure blue keyed out), dragged by its background,
// and its close request ends the program. UI thread only.
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <memory>

#include "core/playout/PlayerView.h"
#include "core/schedule/ScheduleFile.h"
#include "gui/app/AppContext.h"
#include "gui/app/WindowHooks.h"

namespace pelvano::gui {

class TMyProgressBarNew;
class TMyRgnFrm;
class TMyRoundButton;
class TMyVolMeter;
class TTransparentButton;
class TvelTracker;
class RoundedFrame;
class LevelPaintBox;
class TrayReturn;

class TFrmMain : public QWidget, public core::PlayerView, public PlayerDock {
    Q_OBJECT
  public:
    static constexpr int kWidth = 297;
    static constexpr int kHeight = 147;

    explicit TFrmMain(AppContext& app);
    ~TFrmMain() override;

    // After the station's start-up: the stored position, the sliders' values, the label colours
    // and the title font; then the window is shown and the schedule window docked under it.
    void showPlayer();
    // The program is asked to end (a service manager's stop): the close without the question.
    void closeWithoutAsking();
    // The settings window changed the label colours or the title font.
    void applySettingsLook();
    // PB4 as the bar of the schedule window's saves: shown while one runs.
    core::ScheduleProgressView* scheduleSaveBar();
    // The window as it looks on the screen: outside the shape fully transparent.
    QImage renderShaped();

    // PlayerDock
    QRect playerFrame() const override { return geometry(); }
    bool playerVisible() const override { return isVisible(); }
    qreal playerOpacity() const override { return windowOpacity(); }

    // PlayerView
    void setProgressVisible(bool visible) override;
    void setProgressMaximum(int max) override;
    void setProgressPosition(int position) override;
    void setProgressCaption(const std::string& gbk) override;
    void setLabel(core::PlayerLabel label, const std::string& gbk) override;
    void setApplicationTitle(const std::string& gbk) override;
    void repaintSchedule() override;
    void setScheduleCaption(const std::string& gbk) override;
    // While the playout is held the bar PB says so instead of the item's title.
    void showPlayoutHold(unsigned owners) override;
    void setScheduleWindowVisible(bool visible) override;
    void minimizeApplication() override;
    void setTranslucency(bool on, int opacity) override;
    void applyColorStyle(core::ColorStyle style) override;
    void setLevels(double left, double right) override;

    // The controls, by their names.
    QWidget* pl;
    QLabel* imgBK;
    RoundedFrame* Shape1;
    QWidget* plPB;
    TMyProgressBarNew* PB;
    TMyProgressBarNew* PB4;
    QLabel *plDate, *lbWeek, *plTimeBK, *plTime, *plPlayTime, *plPlayTime2, *plPlayTimeOld,
        *plLength;
    LevelPaintBox *paintboxLeft, *paintboxRight;
    TMyVolMeter *pbarLeft, *pbarRight;
    TvelTracker *tbVol, *tbPan, *tbTrs;
    TMyRoundButton *btnPlay, *btnPause, *btnStop, *btnColor, *btnPara, *btnLoad, *btnSave, *btnSel;
    TTransparentButton *btnShow, *btnMin, *btnExit;
    QMenu* PopupMenu2;
    QAction *mnBlue, *mnGreen, *mnRed;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void createControls();
    void wireCommands();
    void ApplyAccentColour(core::TColor accent);
    void btnLoadMouseEnter();
    void btnSaveClick();
    void btnShowClick();
    // The exit confirmation of chkSure; true when the close goes ahead.
    bool confirmExit();
    // The player's position and the station's close keys.
    void writeCloseKeys();
    void dockScheduleWindow();
    QWidget* scheduleWidget() const;

    AppContext& app_;
    TMyRgnFrm* rgnFrm_;
    std::unique_ptr<core::ScheduleProgressView> saveBar_;
    TrayReturn* trayReturn_;
    bool dragging_ = false;
    QPoint dragPoint_;
    QString itemCaption_ = QStringLiteral("播出：无");
    unsigned holdOwners_ = 0;
};

}  // namespace pelvano::gui
