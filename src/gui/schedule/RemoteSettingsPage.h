#pragma once
// The settings window's "远程控制" page: the browser remote control's settings, one control per
// key of section [Remote]. It shows values and tells when the operator finished an edit; the
// window saves. The password field is always shown empty: a password typed there is handed
// over once and cleared, and neither it nor its stored hash is ever shown. UI thread only.
#include <QWidget>
#include <functional>

#include "core/schedule/RemoteSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace pelvano::gui {

class RemoteSettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit RemoteSettingsPage(QWidget* parent = nullptr);

    // Shows the values (the password field empty); tells nothing.
    void setSettings(const core::RemoteSettings& settings);
    // The values as the controls hold them; the stored hash is the one last shown.
    core::RemoteSettings settings() const;
    // The password typed and not yet handed over ("" when none); clears the field.
    std::string takePassword();
    // A line under the controls: a password being stored, stored, or why not.
    void showNote(const QString& note);

    // The operator finished an edit.
    std::function<void()> onEdited;

    QCheckBox* chkEnabled() const { return chkEnabled_; }
    QLineEdit* edBind() const { return edBind_; }
    QSpinBox* spPort() const { return spPort_; }
    QLineEdit* edUser() const { return edUser_; }
    QLineEdit* edPassword() const { return edPassword_; }
    QCheckBox* chkPublicStatus() const { return chkPublicStatus_; }
    QLineEdit* edCertFile() const { return edCertFile_; }
    QLineEdit* edKeyFile() const { return edKeyFile_; }
    QLineEdit* edMetricsToken() const { return edMetricsToken_; }
    QLabel* lbAddress() const { return lbAddress_; }
    QLabel* lbNote() const { return lbNote_; }

  private:
    void edited();

    core::RemoteSettings shown_;
    QCheckBox* chkEnabled_ = nullptr;
    QLineEdit* edBind_ = nullptr;
    QSpinBox* spPort_ = nullptr;
    QLineEdit* edUser_ = nullptr;
    QLineEdit* edPassword_ = nullptr;
    QCheckBox* chkPublicStatus_ = nullptr;
    QLineEdit* edCertFile_ = nullptr;
    QLineEdit* edKeyFile_ = nullptr;
    QLineEdit* edMetricsToken_ = nullptr;
    QLabel* lbAddress_ = nullptr;
    QLabel* lbNote_ = nullptr;
    bool filling_ = false;
};

}  // namespace pelvano::gui
