#pragma once
// The look the settings window's pages share: white captions on the dark raised panel.
// UI thread only.
#include <functional>

class QAbstractSpinBox;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace pelvano::gui {

class TMyPanel;

// A page's background panel.
TMyPanel* NewSettingsPanel(QWidget* parent);
// A caption (UTF-8) in the pages' caption colour.
QLabel* SettingsLabel(const char* text, QWidget* parent);
// A label's or check box's caption in that colour; a check box keeps its dark tick.
void WhiteCaption(QWidget* w);

// A page filled by its panel; returns the grid of the panel's controls.
QGridLayout* NewSettingsPageGrid(QWidget* page);
// A caption at (row, column) and a line edit after it over span columns; edited runs when an
// edit is finished (focus lost or Enter).
QLineEdit* AddSettingsLineEdit(QGridLayout* grid, int row, int column, const char* caption,
                               int span, const std::function<void()>& edited);
// A check box (UTF-8 caption, white) at row over span columns; toggled runs on each change.
QCheckBox* AddSettingsCheckBox(QGridLayout* grid, int row, const char* caption, int span,
                               const std::function<void()>& toggled);
// A caption at (row, column) and a spin box after it, which reports a typed value once the
// typing is done (the caller connects its valueChanged).
void PlaceSettingsSpin(QGridLayout* grid, int row, int column, const char* caption,
                       QAbstractSpinBox* spin);
// The foot of a page from row on: the explanation, a warning line (hidden while empty) and a
// selectable address line; the rows below take the free height.
struct SettingsPageFoot {
    QLabel* warning = nullptr;
    QLabel* address = nullptr;
};
SettingsPageFoot AddSettingsPageFoot(QGridLayout* grid, int row, const char* explanation);

}  // namespace pelvano::gui
