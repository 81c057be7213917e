#include "gui/playout/TFrmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

TFrmMain::TFrmMain(AppContext& app) : QWidget(nullptr, Qt::FramelessWindowHint), app_(app) {
    setObjectName(QStringLiteral("FrmMain"));
    setFixedSize(kWidth, kHeight);
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::showPlayer() {
    move(app_.station.playerLeft, app_.station.playerTop);
    show();
}

void TFrmMain::setScheduleWindowVisible(bool visible) {
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->scheduleWidget()->setVisible(visible);
}

void TFrmMain::setTranslucency(bool on, int opacity) {
    const qreal value = on ? opacity / 255.0 : 1.0;
    setWindowOpacity(value);
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->scheduleWidget()->setWindowOpacity(value);
}

void TFrmMain::setApplicationTitle(const std::string& gbk) {
    const QString title = GbkToQString(gbk);
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
}

void TFrmMain::minimizeApplication() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) w->showMinimized();
    }
}

void TFrmMain::repaintSchedule() {
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->repaintSchedule();
}

void TFrmMain::setScheduleCaption(const std::string& gbk) {
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->setScheduleCaption(gbk);
}

bool TFrmMain::confirmExit() {
    if (!app_.station.settings().chkSure()) return true;
    const QString text = QStringLiteral("退出播出系统，自动播出将停止！") +
                         QStringLiteral("\n\r\n\r") + QStringLiteral("按“取消”按钮停止退出。");
    return QMessageBox::question(this, QStringLiteral("确认退出"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    if (!confirmExit()) {
        e->ignore();
        return;
    }
    app_.station.playerLeft = x();
    app_.station.playerTop = y();
    app_.station.writeCloseKeys();
    e->accept();
    QCoreApplication::quit();
}

}  // namespace pelvano::gui
