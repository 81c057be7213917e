// pelvano [STATION-FOLDER]: the station with its windows.
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/app/PelvanoApplication.h"
#include "gui/app/QtPorts.h"
#include "gui/app/RunningPlayer.h"
#include "gui/app/StationApp.h"
#include "gui/app/StationFolder.h"
#include "gui/app/StopSignals.h"
#include "gui/playout/TFrmMain.h"
#include "platform/clock/HighResolutionCounter.h"
#include "platform/lock/StationLock.h"
#include "platform/systemd/ServiceNotifier.h"
#include "platform/worker/CloseDeadline.h"

namespace {

// Positions, window shapes and the docking of the schedule window need X11: under a Wayland
// session the windows go through XWayland unless the user chose a platform.
void preferX11WhenAvailable() {
    if (qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

// --help and --version answer on stdout before anything needs a display.
bool answeredInformationOption(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string option = argv[1];
    if (option == "--version") {
        std::printf("pelvano %s\n", PELVANO_VERSION);
        return true;
    }
    if (option == "--help") {
        std::printf(
            "usage: pelvano [STATION-FOLDER]\n"
            "  STATION-FOLDER           the station to play (default: the program's folder when a\n"
            "                           station lives there, else ~/.local/share/pelvano/station)\n"
            "  --help                   this text\n"
            "  --version                the version of Pelvano\n");
        return true;
    }
    return false;
}

void showMessage(const QString& text) {
    QMessageBox::warning(nullptr, QStringLiteral("Pelvano"), text);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelvano::gui;
    if (answeredInformationOption(argc, argv)) return 0;
    preferX11WhenAvailable();
    PelvanoApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // The settings path is fixed first: it follows from the station folder.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    const std::string executableDir = QCoreApplication::applicationDirPath().toStdString() + "/";
    StationFolderChoice folder;
    if (!ChooseStationFolder(arguments, executableDir, folder)) {
        std::fprintf(stderr, "usage: pelvano [STATION-FOLDER]\n");
        return 2;
    }
    if (folder.perUserDefault)
        SeedStationFolder(folder.folder, executableDir + "../share/pelvano/demo-station");

    // One player per station: a second start brings the running player to the front. Only
    // when none answers (a station without windows holds the folder) is the refusal shown.
    const pelvano::platform::StationLock lock(folder.folder);
    if (lock.outcome() == pelvano::platform::StationLock::Outcome::Held) {
        const QString refusal = QString::fromUtf8(pelvano::platform::kStationRunningMessage);
        std::fprintf(stderr, "pelvano: %s\n", pelvano::platform::kStationRunningMessage);
        if (!AskRunningPlayerToRaise(folder.folder)) showMessage(refusal);
        return 1;
    }

    if (!pelvano::platform::HighResolutionCounterAvailable()) {
        showMessage(QStringLiteral(
            "对不起,发现该计算机没有高性能计数器.\r\n请升级您的计算机和操作系统.系统退出"));
        return 1;
    }
    SetApplicationIdentity();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pelvano.svg")));

    StationAppOptions options;
    options.stationFolder = folder.folder;
    options.executablePath = QCoreApplication::applicationFilePath().toStdString();
    options.showMessage = showMessage;
    QtTimerService serviceTimers(app.errors());
    pelvano::platform::ServiceNotifier service(serviceTimers);
    options.nowPlaying = &service;
    StationApp station(app.errors(), options);
    if (const int status = station.start(); status != 0) return status;
    const RunningPlayerListener secondStarts(
        folder.folder, [&station] { RaiseShownWindows(station.windows().frmMain); });
    const StopSignals stopSignals([&station] { station.windows().frmMain->closeWithoutAsking(); });
    service.ready();
    const int status = QApplication::exec();
    service.stopping();
    // Closing ends the program within 2 s, whatever a hung file does.
    pelvano::platform::EndProcessUnlessClosedWithin(std::chrono::milliseconds(1500), status);
    return status;
}
