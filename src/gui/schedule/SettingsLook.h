#pragma once
// The look the settings window's pages share: white captions on the dark raised panel.
// UI thread only.
class QGridLayout;
class QLabel;
class QWidget;

namespace pelvano::gui {

class TMyPanel;

// A page's background panel.
TMyPanel* NewSettingsPanel(QWidget* parent);
// Fills a page widget with the panel and returns the panel's grid (its margins and spacing set);
// the page's controls go on the panel, the grid's parent widget.
QGridLayout* SettingsPageGrid(QWidget* page);
// A caption (UTF-8) in the pages' caption colour.
QLabel* SettingsLabel(const char* text, QWidget* parent);
// A label's or check box's caption in that colour; a check box keeps its dark tick.
void WhiteCaption(QWidget* w);

}  // namespace pelvano::gui
