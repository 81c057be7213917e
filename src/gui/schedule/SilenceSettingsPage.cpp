#include "gui/schedule/SilenceSettingsPage.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "gui/controls/QtAdapters.h"
#include "gui/schedule/SettingsLook.h"

namespace pelvano::gui {

SilenceSettingsPage::SilenceSettingsPage(QWidget* parent) : QWidget(parent) {
    QGridLayout* grid = NewSettingsPageGrid(this);
    QWidget* panel = grid->parentWidget();
    const auto spinIn = [&]<typename Spin>(Spin* spin, int row, const char* caption, int low,
                                           int high, const char* suffix) {
        spin->setRange(low, high);
        spin->setSuffix(QString::fromUtf8(suffix));
        connect(spin, &Spin::valueChanged, this, &SilenceSettingsPage::edited);
        PlaceSettingsSpin(grid, row, 0, caption, spin);
        return spin;
    };
    spLevel_ = spinIn(new QDoubleSpinBox(panel), 0, "静音电平：", -120, 0, " dBFS");
    spLevel_->setDecimals(1);
    spSeconds_ = spinIn(new QSpinBox(panel), 1, "静音超过：", 1, 3600, " 秒");
    edFolder_ = AddSettingsLineEdit(grid, 2, 0, "备用节目文件夹：", 3, [this] { edited(); });
    edFolder_->setPlaceholderText(QStringLiteral("空：不播放备用节目"));
    AddSettingsPageFoot(grid, 3,
                        "播出中声音低于静音电平超过设定秒数，即记录静音并播放下一个节目；\n"
                        "节目表无可播放的节目时，随机播放备用节目文件夹中的文件。");
}

void SilenceSettingsPage::setSettings(const core::DeadAirSettings& settings) {
    filling_ = true;
    spLevel_->setValue(settings.silenceLevelDb);
    spSeconds_->setValue(settings.silenceSeconds);
    edFolder_->setText(GbkToQString(settings.fallbackFolder));
    filling_ = false;
}

core::DeadAirSettings SilenceSettingsPage::settings() const {
    core::DeadAirSettings s;
    s.silenceLevelDb = spLevel_->value();
    s.silenceSeconds = spSeconds_->value();
    s.fallbackFolder = QStringToGbk(edFolder_->text().trimmed());
    return s;
}

void SilenceSettingsPage::edited() {
    if (!filling_ && onEdited) onEdited();
}

}  // namespace pelvano::gui
