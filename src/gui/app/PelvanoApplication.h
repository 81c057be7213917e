#pragma once
// The application object: the UI loop's last line of defence. Whatever an event handler throws
// (a click, a paint, a drop) is caught at the event-loop boundary and handed to UiErrors; the
// loop and the station go on. Qt's own buttons and dialogs speak Chinese, like the windows.
// UI thread only.
#include <QApplication>

#include "gui/app/UiErrors.h"

namespace pelvano::gui {

class PelvanoApplication : public QApplication {
    Q_OBJECT
  public:
    PelvanoApplication(int& argc, char** argv, bool showErrorBoxes = true);

    bool notify(QObject* receiver, QEvent* event) override;
    UiErrors& errors() { return errors_; }

  private:
    UiErrors errors_;
};

// The application's name and desktop entry. Window captions stay exactly the windows' own
// texts: no display name is appended to them.
void SetApplicationIdentity();

}  // namespace pelvano::gui
