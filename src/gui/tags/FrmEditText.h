#pragma once
// TFrmEditText, the tag and lyrics text editor: the six texts of one MP3 file's tag (title,
// artist, album, year, comment, lyrics), saved or removed through the shared tag instance,
// every write an atomic rewrite of the file. UI thread only.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <string>

#include "core/tags/TID3v2Tag.h"

namespace pelvano::gui {

class TFrmEditText final : public QDialog {
    Q_OBJECT
  public:
    // tag: the instance shared with the MP3 list window.
    explicit TFrmEditText(core::TID3v2Tag& tag, QWidget* parent = nullptr);

    // Shows the tag of a file (native path) and enables update and removal.
    void LoadFile(const std::string& nativePath);
    const std::string& fileName() const { return fileName_; }

    QToolButton* SpeedButton1;
    QLineEdit* Edit1;
    QLabel* lblID3Status;
    QLineEdit* edTitle;
    QLineEdit* edArtist;
    QLineEdit* edAlbum;
    QLineEdit* edYear;
    QLineEdit* edComm;
    QPlainTextEdit* mmText;
    QCheckBox* CheckBox1;
    QPushButton* btnID3Update;
    QPushButton* btnID3Kill;
    QPushButton* btnLoad;

    void btnID3UpdateClick();
    void btnID3KillClick();
    void btnLoadClick();
    void SpeedButton1Click();

  private:
    void setButtonsEnabled(bool enabled);
    void report(const core::TagSaveResult& result);

    core::TID3v2Tag& tag_;
    std::string fileName_;
};

}  // namespace pelvano::gui
