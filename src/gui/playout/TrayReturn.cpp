#include "gui/playout/TrayReturn.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace pelvano::gui {

bool TrayReturn::minimise() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (!icon_) {
        icon_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
        icon_->setToolTip(QApplication::applicationName());
        connect(icon_, &QSystemTrayIcon::activated, this, &TrayReturn::restore);
    }
    minimised_.clear();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->isMinimized()) continue;
        minimised_.append(w);
        w->showMinimized();
    }
    icon_->show();
    return true;
}

void TrayReturn::restore() {
    for (const QPointer<QWidget>& w : minimised_) {
        if (!w) continue;
        w->showNormal();
        w->raise();
    }
    minimised_.clear();
    if (icon_) icon_->hide();
}

}  // namespace pelvano::gui
