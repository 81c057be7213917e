#pragma once
// TFrmMusicSet (" 歌词参数设置"): the display settings of the lyrics window and the lyrics
// editor. The settings controls write their keys through the core's LyricsSettings; the editor
// forwards every command to the core's LyricsEditor and shows the table (sgMusicText) and the
// raw lines (mm) it works on. It keeps the grid's current row and selection in step with the
// table's both ways. UI thread only.
#include <QWidget>

#include "core/lyrics/LyricsEditor.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pelvano::core {
class Station;
}

namespace pelvano::gui {

class TFrmMusic;

// The item on air as the station has it.
class StationLyricsPlayout final : public core::LyricsPlayout {
  public:
    explicit StationLyricsPlayout(core::Station& station) : station_(station) {}
    core::TcbDSMixerChannel* currentChannel() override;
    int shownPositionMs() const override;
    void setPlayoutHold(bool on) override;

  private:
    core::Station& station_;
};

class TFrmMusicSet final : public QWidget {
    Q_OBJECT
  public:
    // Reads the "Music" settings and applies them to the display window.
    TFrmMusicSet(TFrmMusic& display, core::Station& station, QWidget* parent = nullptr);
    // The display no longer asks this editor for its edit mode.
    ~TFrmMusicSet() override;

    core::LyricsEditor& editor() { return editor_; }

    // The commands behind the buttons that open dialogs or report failures, for callers that
    // already have the answer.
    void importLyricsFile(const QString& path);
    core::LyricsStoreResult storeInMp3();
    core::LyricsStoreResult saveLyricsFile();
    // The lyrics font and the colour of the lines other than the current one.
    void chooseFont(const QFont& font, const QColor& color);
    void chooseUnderlineColor(const QColor& color);
    void chooseCurrentLineColor(const QColor& color);
    // btnApplyMusic: stores every setting and places the display window; false (with the
    // reason) when the settings file could not be rewritten, the window placed all the same.
    bool applySettings(std::string* error = nullptr);

  private:
    void buildDisplayGroup(QWidget* group);
    void buildEditor(QWidget* area);
    QPushButton* addButton(const char* name, const QString& caption, const QString& hint,
                           void (core::LyricsEditor::*command)());
    void loadControlsFromSettings();
    void setEditMode(bool on);
    // Model to view: every row of the table, then the current row and selection.
    void showTable();
    void showCurrentRow();
    void showRawLines();
    void showButtons();
    void showColors();
    // View to model.
    void cellEdited(int row, int col);
    void selectionMoved();
    // A failure goes to the UI loop, which shows it and logs it.
    void report(const core::LyricsStoreResult& result);

    TFrmMusic& display_;
    StationLyricsPlayout playout_;
    core::LyricsEditor editor_;
    bool showing_ = false;  // the grid is being filled from the table: ignore its signals

    QSpinBox* spML_ = nullptr;
    QSpinBox* spMT_ = nullptr;
    QSpinBox* spMW_ = nullptr;
    QSpinBox* spMH_ = nullptr;
    QSpinBox* spTransMusic_ = nullptr;
    QPushButton* plMusicFont_ = nullptr;
    QPushButton* plMusicFrameColor_ = nullptr;
    QPushButton* plCurTextColor_ = nullptr;
    QCheckBox* chkPlaySongText_ = nullptr;
    QCheckBox* chkInMP3lrcFirst_ = nullptr;
    QComboBox* chkMusicTextCenter_ = nullptr;

    QTableWidget* sgMusicText_ = nullptr;
    QPlainTextEdit* mm_ = nullptr;
    QCheckBox* chkEditMusic_ = nullptr;
    QCheckBox* chkPause_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QSpinBox* spAddTime_ = nullptr;
};

}  // namespace pelvano::gui
