#pragma once
// The settings window's "网络直播" page: the internet stream's settings, one control per key of
// section [Stream]. It only shows values and tells when the operator finished an edit (a text
// or number when it loses focus or Enter is pressed, a box or list at once); the window saves.
// The password is masked. A host the window refused is told in a line of its own. UI thread
// only.
#include <QWidget>
#include <functional>

#include "core/schedule/StreamSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace pelvano::gui {

class StreamSettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit StreamSettingsPage(QWidget* parent = nullptr);

    // Shows the values; tells nothing.
    void setSettings(const core::StreamSettings& settings);
    // The values as the controls hold them now.
    core::StreamSettings settings() const;
    // Why the last edit was refused ("" clears it).
    void showProblem(const std::string& problem);

    // The operator finished an edit.
    std::function<void()> onEdited;

    QCheckBox* chkEnabled() const { return chkEnabled_; }
    QLineEdit* edHost() const { return edHost_; }
    QSpinBox* spPort() const { return spPort_; }
    QLineEdit* edMount() const { return edMount_; }
    QLineEdit* edUser() const { return edUser_; }
    QLineEdit* edPassword() const { return edPassword_; }
    QComboBox* cbFormat() const { return cbFormat_; }
    QComboBox* cbTls() const { return cbTls_; }
    QSpinBox* spBitrate() const { return spBitrate_; }
    QLineEdit* edName() const { return edName_; }
    QLineEdit* edGenre() const { return edGenre_; }
    QLineEdit* edDescription() const { return edDescription_; }
    // Where a listener finds the stream, for the values shown.
    QLabel* lbListen() const { return lbListen_; }
    QLabel* lbProblem() const { return lbProblem_; }

  private:
    void edited();

    QCheckBox* chkEnabled_ = nullptr;
    QLineEdit* edHost_ = nullptr;
    QSpinBox* spPort_ = nullptr;
    QLineEdit* edMount_ = nullptr;
    QLineEdit* edUser_ = nullptr;
    QLineEdit* edPassword_ = nullptr;
    QComboBox* cbFormat_ = nullptr;
    QComboBox* cbTls_ = nullptr;
    QSpinBox* spBitrate_ = nullptr;
    QLineEdit* edName_ = nullptr;
    QLineEdit* edGenre_ = nullptr;
    QLineEdit* edDescription_ = nullptr;
    QLabel* lbListen_ = nullptr;
    QLabel* lbProblem_ = nullptr;
    bool filling_ = false;  // controls being set from values tell nothing
};

}  // namespace pelvano::gui
