#include "gui/schedule/LoudnessSettingsPage.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

#include "gui/schedule/SettingsLook.h"

namespace pelvano::gui {

LoudnessSettingsPage::LoudnessSettingsPage(QWidget* parent) : QWidget(parent) {
    QGridLayout* grid = NewSettingsPageGrid(this);
    QWidget* panel = grid->parentWidget();

    const auto box = [&](int row, const char* caption) {
        return AddSettingsCheckBox(grid, row, caption, 3, [this] { edited(); });
    };
    const auto level = [&](int row, const char* caption, const char* unit, double low,
                           double high) {
        auto* spin = new QDoubleSpinBox(panel);
        spin->setRange(low, high);
        spin->setDecimals(1);
        spin->setSingleStep(0.5);
        spin->setSuffix(QString::fromUtf8(unit));
        connect(spin, &QDoubleSpinBox::valueChanged, this, &LoudnessSettingsPage::edited);
        PlaceSettingsSpin(grid, row, 0, caption, spin);
        return spin;
    };

    chkLoudness_ = box(0, "每个节目按统一响度播出（不改动文件）");
    spTarget_ = level(1, "目标响度：", " LUFS", core::LoudnessSettings::kMinTargetLufs,
                      core::LoudnessSettings::kMaxTargetLufs);
    grid->addWidget(SettingsLabel("真峰值不超过 -1 dBTP；报时文件保持原样。", panel), 2, 0, 1, 3);
    chkTrimSilence_ = box(3, "跳过节目开头和结尾的静音（交叉淡化按有声部分计算）");
    spCueLevel_ = level(4, "静音判定电平：", " dBFS", core::LoudnessSettings::kMinCueLevelDbfs,
                        core::LoudnessSettings::kMaxCueLevelDbfs);
    grid->addWidget(
        SettingsLabel("修改后立即保存，从下一个节目起生效；正在播出的节目保持原增益。", panel), 5,
        0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(2, 1);
}

void LoudnessSettingsPage::setSettings(const core::LoudnessSettings& s) {
    filling_ = true;
    chkLoudness_->setChecked(s.Loudness);
    spTarget_->setValue(s.TargetLUFS);
    chkTrimSilence_->setChecked(s.TrimSilence);
    spCueLevel_->setValue(s.CueLevel);
    filling_ = false;
}

core::LoudnessSettings LoudnessSettingsPage::settings() const {
    core::LoudnessSettings s;
    s.Loudness = chkLoudness_->isChecked();
    s.TargetLUFS = spTarget_->value();
    s.TrimSilence = chkTrimSilence_->isChecked();
    s.CueLevel = spCueLevel_->value();
    return s;
}

void LoudnessSettingsPage::edited() {
    if (!filling_ && onEdited) onEdited();
}

}  // namespace pelvano::gui
