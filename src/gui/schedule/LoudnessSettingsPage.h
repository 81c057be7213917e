#pragma once
// The settings window's "音量均衡" page: the loudness switches, the target loudness and the cue
// level (keys of section [Linux]). It only shows values and tells when the operator finished an
// edit; the window hands them to the station. UI thread only.
#include <QWidget>
#include <functional>

#include "core/loudness/LoudnessSettings.h"

class QCheckBox;
class QDoubleSpinBox;

namespace pelvano::gui {

class LoudnessSettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit LoudnessSettingsPage(QWidget* parent = nullptr);

    // Shows the values; tells nothing.
    void setSettings(const core::LoudnessSettings& settings);
    // The values as the controls hold them now.
    core::LoudnessSettings settings() const;

    // The operator finished an edit.
    std::function<void()> onEdited;

    QCheckBox* chkLoudness() const { return chkLoudness_; }
    QDoubleSpinBox* spTarget() const { return spTarget_; }
    QCheckBox* chkTrimSilence() const { return chkTrimSilence_; }
    QDoubleSpinBox* spCueLevel() const { return spCueLevel_; }

  private:
    void edited();

    QCheckBox* chkLoudness_ = nullptr;
    QDoubleSpinBox* spTarget_ = nullptr;
    QCheckBox* chkTrimSilence_ = nullptr;
    QDoubleSpinBox* spCueLevel_ = nullptr;
    bool filling_ = false;  // controls being set from values tell nothing
};

}  // namespace pelvano::gui
