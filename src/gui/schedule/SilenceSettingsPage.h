#pragma once
// The settings window's "静音与备用" page: the silence level and window after which silence on
// air counts as dead air, and the fallback folder that fills it (section [Linux]). It only shows
// values and tells when the operator finished an edit; the station stores and applies them.
// UI thread only.
#include <QWidget>
#include <functional>

#include "core/playout/DeadAirSettings.h"

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace pelvano::gui {

class SilenceSettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit SilenceSettingsPage(QWidget* parent = nullptr);

    // Shows the values; tells nothing.
    void setSettings(const core::DeadAirSettings& settings);
    // The values as the controls hold them now.
    core::DeadAirSettings settings() const;

    // The operator finished an edit.
    std::function<void()> onEdited;

    QDoubleSpinBox* spLevel() const { return spLevel_; }
    QSpinBox* spSeconds() const { return spSeconds_; }
    QLineEdit* edFolder() const { return edFolder_; }

  private:
    void edited();

    QDoubleSpinBox* spLevel_ = nullptr;
    QSpinBox* spSeconds_ = nullptr;
    QLineEdit* edFolder_ = nullptr;
    bool filling_ = false;  // controls being set from values tell nothing
};

}  // namespace pelvano::gui
