#pragma once
// TFrmPlayJM: the schedule window. It shows the station's table in the grid sgJM, forwards its
// context menu, drops, row moves and double clicks to the core's ScheduleCommands, and keeps
// itself docked under the player window (every 200 ms). Its close request is refused: the
// window is only ever hidden. The hidden top bar pl switches between the station's schedule
// files. UI thread only.
#include <QWidget>
#include <functional>
#include <string>

#include "core/playout/ScheduleCommands.h"
#include "core/schedule/ScheduleFile.h"
#include "gui/app/WindowHooks.h"
#include "gui/controls/QtAdapters.h"
#include "gui/schedule/FileDialogRequest.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace pelvano::core {
class Station;
}

namespace pelvano::gui {

struct AppContext;
class ScheduleGridModel;
class ScheduleGridView;
class TMyPanel;

class TFrmPlayJM : public QWidget, public ScheduleWindowHooks {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 13;
    static constexpr int kDockIntervalMs = 200;

    // In the application: docked under app.windows.playerDock, "查看历史" shows frmHis.
    explicit TFrmPlayJM(AppContext& app);
    explicit TFrmPlayJM(core::Station& station, QWidget* parent = nullptr);
    ~TFrmPlayJM() override;

    // The player it docks under (looked up at every docking: it may not exist yet).
    void setPlayerDock(std::function<PlayerDock*()> dock);
    // Left under the player's left edge, top at the player's bottom, the player's width, the
    // player's opacity. Every 200 ms while shown, and when a drag of the window ends.
    void dockUnderPlayer();

    // ScheduleWindowHooks: what the player and the station change.
    QWidget* scheduleWidget() override { return this; }
    // The table changed behind the window (a load, an item start): redraw it, caption included.
    void repaintSchedule() override;
    void setScheduleCaption(const std::string& gbk) override;
    void toggleFileSelection() override { setFileBarVisible(!fileBarVisible()); }
    void applyAccentColour(TColor accent) override { setAccentColor(accent); }
    void dockUnder(const QRect& playerFrame) override;

    // The style's accent colour: grid bands, top bar and selector.
    void setAccentColor(TColor accent);
    TColor accentColor() const { return accent_; }
    void setFileBarVisible(bool visible);
    bool fileBarVisible() const;

    // The player's save bar PB4, shown while the schedule is saved; may stay null.
    core::ScheduleProgressView* saveProgress = nullptr;
    // "查看历史": shows the play-process log window.
    std::function<void()> onShowHistory;
    // Replaceable for tests: the file dialogs and the message shown when a save fails.
    FileDialogRunner fileDialogs;
    std::function<void(const QString&)> showError;

    ScheduleGridView* sgJM() const { return sgJM_; }
    ScheduleGridModel* gridModel() const { return model_; }
    QComboBox* cbJM() const { return cbJM_; }
    QPushButton* btnReLoad() const { return btnReLoad_; }
    QWidget* pl() const;
    QMenu* PopupMenu1() const { return popupMenu1_; }
    core::ScheduleCommands& commands() { return commands_; }

    // The menu items, in their order.
    QAction* btnPrint = nullptr;
    QAction* btnEdit = nullptr;
    QAction* mnInsert = nullptr;
    QAction* btnDel = nullptr;
    QAction* btnCombine = nullptr;
    QAction* btnLoadJM = nullptr;
    QAction* btnSaveAs = nullptr;
    QAction* btnSave = nullptr;

    // The commands, as the menu, the top bar and the grid run them.
    void btnLoadJMClick();
    void btnReLoadClick();
    void btnSaveClick();
    void btnSaveAsClick();
    void btnCombineClick();
    void mnInsertClick();
    void btnDelClick();
    void btnEditClick();
    // Grid rows count from 1; 0 or less: outside the rows.
    void dropFiles(int gridRow, const QStringList& names);
    void dropFiles(int gridRow, const std::vector<std::string>& nativePaths);
    void moveRow(int fromGridRow, int toGridRow);
    void selectAll();
    // The row under the mouse when the context menu opened (0: none).
    void setInsertionRow(int gridRow) { insertionRow_ = gridRow; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    class SaveProgress;

    void buildGrid();
    void buildTopBar();
    void buildMenu();
    void applyLayout();
    void syncCurrentRow();
    // A row drag, files dragged over the grid, a cell edit or the context menu is in progress.
    bool operatorBusy() const;
    core::GridSelection viewSelection() const;
    void reportSave(const core::SaveResult& result);
    QString applicationDir() const;

    core::Station& station_;
    core::ScheduleCommands commands_;
    std::unique_ptr<SaveProgress> progress_;
    ScheduleGridModel* model_ = nullptr;
    ScheduleGridView* sgJM_ = nullptr;
    TMyPanel* pl_ = nullptr;
    QLabel* lbJM_ = nullptr;
    QComboBox* cbJM_ = nullptr;
    QPushButton* btnReLoad_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QTimer* timer1_ = nullptr;
    std::function<PlayerDock*()> playerDock_;
    QPoint lastPlayerPos_;
    QPoint dragAnchor_;
    bool dragging_ = false;
    int insertionRow_ = 0;
    TColor accent_ = 0;
};

}  // namespace pelvano::gui
