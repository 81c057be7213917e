#include "gui/schedule/SettingsLook.h"

#include <QGridLayout>
#include <QLabel>
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

QGridLayout* SettingsPageGrid(QWidget* page) {
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

}  // namespace pelvano::gui
