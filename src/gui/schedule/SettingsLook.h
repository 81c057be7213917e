#pragma once
// The look the settings window's pages share: white captions on the dark raised panel.
// UI thread only.
class QLabel;
class QWidget;

namespace pelvano::gui {

class TMyPanel;

// A page's background panel.
TMyPanel* NewSettingsPanel(QWidget* parent);
// A caption (UTF-8) in the pages' caption colour.
QLabel* SettingsLabel(const char* text, QWidget* parent);
// A label's or check box's caption in that colour; a check box keeps its dark tick.
void WhiteCaption(QWidget* w);

}  // namespace pelvano::gui
