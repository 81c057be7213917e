#pragma once
// Minimising the application with a way back. A minimised frameless player has no caption to
// click, and a desktop without a task bar shows nothing of it: the windows are minimised only
// where the desktop has a tray, whose icon then brings them back. UI thread only.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QSystemTrayIcon;

namespace pelvano::gui {

class TrayReturn : public QObject {
  public:
    explicit TrayReturn(QObject* parent = nullptr) : QObject(parent) {}
    // Minimises every visible window and shows the tray icon; without a tray it does nothing
    // and returns false.
    bool minimise();
    // The windows as they were, the icon gone (a click on the icon does this).
    void restore();

  private:
    QSystemTrayIcon* icon_ = nullptr;
    QList<QPointer<QWidget>> minimised_;
};

}  // namespace pelvano::gui
