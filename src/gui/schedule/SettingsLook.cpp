#include "gui/schedule/SettingsLook.h"

#include <QLabel>

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
    l->setStyleSheet(QStringLiteral("color: white;"));
    return l;
}

}  // namespace pelvano::gui
