#include "gui/schedule/SettingsLook.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/controls/MyPanel.h"

namespace pelvano::gui {

namespace {
constexpr TColor kPanelColour = 0x00503C28u;
}

TMyPanel* NewSettingsPanel(QWidget* parent) {
    auto* panel = new TMyPanel(parent);
    panel->SetColor(kPanelColour);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    return panel;
}

QLabel* SettingsLabel(const char* text, QWidget* parent) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    WhiteCaption(l);
    return l;
}

// Only the caption's colour: a style sheet's colour would also paint a check box's tick,
// white on its white box.
void WhiteCaption(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    w->setPalette(pal);
}

QGridLayout* NewSettingsPageGrid(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    TMyPanel* panel = NewSettingsPanel(page);
    outer->addWidget(panel);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    return grid;
}

QLineEdit* AddSettingsLineEdit(QGridLayout* grid, int row, int column, const char* caption,
                               int span, const std::function<void()>& edited) {
    QWidget* panel = grid->parentWidget();
    auto* edit = new QLineEdit(panel);
    QObject::connect(edit, &QLineEdit::editingFinished, panel, edited);
    grid->addWidget(SettingsLabel(caption, panel), row, column);
    grid->addWidget(edit, row, column + 1, 1, span);
    return edit;
}

QCheckBox* AddSettingsCheckBox(QGridLayout* grid, int row, const char* caption, int span,
                               const std::function<void()>& toggled) {
    QWidget* panel = grid->parentWidget();
    auto* box = new QCheckBox(QString::fromUtf8(caption), panel);
    WhiteCaption(box);
    QObject::connect(box, &QCheckBox::toggled, panel, toggled);
    grid->addWidget(box, row, 0, 1, span);
    return box;
}

void PlaceSettingsSpin(QGridLayout* grid, int row, int column, const char* caption,
                       QAbstractSpinBox* spin) {
    spin->setKeyboardTracking(false);
    grid->addWidget(SettingsLabel(caption, grid->parentWidget()), row, column);
    grid->addWidget(spin, row, column + 1);
}

SettingsPageFoot AddSettingsPageFoot(QGridLayout* grid, int row, const char* explanation) {
    QWidget* panel = grid->parentWidget();
    grid->addWidget(SettingsLabel(explanation, panel), row, 0, 1, 4);
    SettingsPageFoot foot;
    foot.warning = SettingsLabel("", panel);
    foot.warning->setStyleSheet(QStringLiteral("color: #ffd040;"));
    foot.warning->hide();
    grid->addWidget(foot.warning, row + 1, 0, 1, 4);
    foot.address = SettingsLabel("", panel);
    foot.address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(foot.address, row + 2, 0, 1, 4);
    grid->setRowStretch(row + 3, 1);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    return foot;
}

}  // namespace pelvano::gui
