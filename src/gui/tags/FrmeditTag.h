#pragma once
// TFrmeditTag, the MP3 list and tag window: a list of MP3 files (dropped from the file manager,
// stored in ".mpl" list files) whose titles, artists and albums go into the files' tags, one
// row or the whole list at once. It draws core::Mp3List and forwards commands to it and to
// core::Mp3ListUpdater. UI thread only; the batch update runs inside its menu handler and keeps
// the window responsive through the event pump.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSplitter>
#include <string>

#include "core/tags/Mp3List.h"
#include "core/tags/Mp3ListLayout.h"
#include "core/tags/Mp3ListUpdate.h"
#include "core/tags/TID3v2Tag.h"
#include "gui/tags/Mp3ListModel.h"
#include "gui/tags/Mp3ListView.h"
#include "gui/tags/TagWindowSetup.h"

class QEventLoop;

namespace pelvano::gui {

class TFrmEditText;

class TFrmeditTag final : public QMainWindow, private core::Mp3BatchView {
    Q_OBJECT
  public:
    explicit TFrmeditTag(TagWindowSetup setup, QWidget* parent = nullptr);
    ~TFrmeditTag() override;

    // The tag instance shared by the tag windows (the station's tag text encoding applied).
    core::TID3v2Tag& sharedTag() { return tag_; }
    // The editor that "歌词编辑" opens; without one the item does nothing.
    void setTextEditor(TFrmEditText* editor) { textEditor_ = editor; }
    // Shows the window application-modal and returns when it is closed.
    void showModal();

    core::Mp3List& list() { return list_; }
    const core::Mp3ListUpdater& updater() const { return updater_; }
    const std::string& listFile() const { return listFile_; }

    void LoadList(const std::string& nativePath);
    void SaveList(const std::string& nativePath);
    // What a drop onto grid row gridRow does (paths native, as the file manager gives them).
    void dropFiles(int gridRow, const QStringList& paths);
    void dropFiles(int gridRow, const std::vector<std::string>& nativePaths);

    QLineEdit* edCommt;
    QLineEdit* edArtor;
    Mp3ListView* sgSong;
    QPlainTextEdit* Memo1;
    QSplitter* splitter;
    QWidget* bottomPanel;
    QLabel* statusList;
    QLabel* statusInfo;
    QAction* N5;         // 打开列表
    QAction* mnedit;     // 编辑表格
    QAction* N9;         // 保存表格
    QAction* mndel;      // 删除选择
    QAction* N11;        // 退出
    QAction* btnModify;  // 批量更新专集和歌手 / 停止 / 更新
    QAction* N12;        // 更新当前记录
    QAction* N13;        // 歌词编辑

    void N5Click();
    void mneditClick();
    void N9Click();
    void mndelClick();
    void N11Click();
    void btnModifyClick();
    void N12Click();
    void N13Click();
    void sgSongDblClick(const QModelIndex& index);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void batchProgress(int row, int count) override;
    void batchReport(const std::string& line) override;
    void buildMenus();
    void buildPanels();
    void refreshList();
    void applyColumnWidths();
    void syncSelectionToGrid();
    int currentGridRow() const;
    void writeWindowKeys();
    core::Mp3ListLayout currentLayout() const;

    TagWindowSetup setup_;
    core::TID3v2Tag tag_;
    core::Mp3List list_;
    core::Mp3ListUpdater updater_;
    Mp3ListModel* model_;
    TFrmEditText* textEditor_ = nullptr;
    QEventLoop* modalLoop_ = nullptr;
    std::string listFile_;
    bool keysRead_ = false;
};

}  // namespace pelvano::gui
