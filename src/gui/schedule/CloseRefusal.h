#pragma once
// The schedule window refuses the operator's close request, yet it must close when the
// application quits: Qt asks every window to close on quit and cancels the quit when one
// refuses. UI thread only.

namespace pelvano::gui {

// Starts watching for the application's quit; call once the QApplication exists.
void WatchApplicationQuit();
// True while the application asks its windows to close for a quit.
bool ApplicationQuitting();

}  // namespace pelvano::gui
