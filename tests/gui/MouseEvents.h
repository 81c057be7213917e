#pragma once
// Mouse events delivered straight to a widget, with the button state a real mouse would carry.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace pelvano::gui::testing {

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, QPoint global) {
    QMouseEvent e(type, QPointF(pos), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void press(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseButtonPress, pos, button, button, w->mapToGlobal(pos));
}
inline void doubleClick(QWidget* w, QPoint pos) {
    sendMouse(w, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton,
              w->mapToGlobal(pos));
}
inline void moveTo(QWidget* w, QPoint pos, Qt::MouseButtons held = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, held, w->mapToGlobal(pos));
}
inline void release(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, w->mapToGlobal(pos));
}
// Events that carry an explicit screen position (for windows dragged on the screen).
inline void pressAt(QWidget* w, QPoint global) {
    sendMouse(w, QEvent::MouseButtonPress, w->mapFromGlobal(global), Qt::LeftButton, Qt::LeftButton,
              global);
}
inline void moveAt(QWidget* w, QPoint global) {
    sendMouse(w, QEvent::MouseMove, w->mapFromGlobal(global), Qt::NoButton, Qt::LeftButton, global);
}
inline void releaseAt(QWidget* w, QPoint global) {
    sendMouse(w, QEvent::MouseButtonRelease, w->mapFromGlobal(global), Qt::LeftButton, Qt::NoButton,
              global);
}

// The real mouse on X11: an xdotool command line (false when it fails or xdotool is missing).
inline bool Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace pelvano::gui::testing
