// Prints the player's start and idle figures: the time from the launch of the process to the
// first painted player window, and the CPU share of the running player (clock, 50 ms meters and
// 100 ms scheduler on an item that plays on the null output), beside a peer measured in the same
// run: a plain Qt window repainting one label every 50 ms.
// usage: bench_player [DEMO-STATION] [SECONDS]   (default: the build's demo station, 10 s)
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/app/PelvanoApplication.h"
#include "gui/app/QtPorts.h"
#include "gui/app/StationApp.h"
#include "gui/playout/TFrmMain.h"

namespace {

double secondsOf(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Seconds since the kernel started this process.
double secondsSinceLaunch() {
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(content.substr(content.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;  // field 22: start time in clock ticks
    return secondsOf(CLOCK_BOOTTIME) - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

struct CpuShare {
    double process = 0;   // % of one core, every thread
    double uiThread = 0;  // % of one core, the UI thread alone
};

CpuShare runFor(double seconds) {
    const double wall = secondsOf(CLOCK_MONOTONIC), cpu = processCpuSeconds();
    const double ui = secondsOf(CLOCK_THREAD_CPUTIME_ID);
    QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QCoreApplication::exit(0); });
    QApplication::exec();
    const double elapsed = secondsOf(CLOCK_MONOTONIC) - wall;
    return {100 * (processCpuSeconds() - cpu) / elapsed,
            100 * (secondsOf(CLOCK_THREAD_CPUTIME_ID) - ui) / elapsed};
}

// Notes the first paint of a widget and leaves the loop.
struct FirstPaint : QObject {
    double at = -1;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && at < 0) {
            at = secondsSinceLaunch();
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(o, e);
    }
};

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("PELVANO_OUTPUT")) qputenv("PELVANO_OUTPUT", "null");
    const fs::path self = fs::canonical("/proc/self/exe").parent_path();
    const fs::path demo = argc > 1 ? fs::path(argv[1]) : self / ".." / "demo-station";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    const fs::path station =
        fs::temp_directory_path() / ("pelvano-bench-" + std::to_string(getpid()));
    fs::copy(demo, station, fs::copy_options::recursive);

    pelvano::gui::PelvanoApplication app(argc, argv);
    double firstPaint = -1;
    CpuShare player;
    {
        pelvano::gui::StationAppOptions options;
        options.stationFolder = station.string();
        options.executablePath = (self / "pelvano").string();
        pelvano::gui::StationApp stationApp(app.errors(), options);
        FirstPaint paint;
        // The skin is the first thing the window paints.
        if (stationApp.start() != 0) return 1;
        stationApp.windows().frmMain->imgBK->installEventFilter(&paint);
        QApplication::exec();
        firstPaint = paint.at;
        player = runFor(seconds);
    }
    // The ports' 100 ms timer over the same span: where its last tick falls against k × 100 ms.
    pelvano::gui::QtTimerService timers(app.errors());
    auto tick100 = timers.createTimer();
    tick100->setInterval(100);
    const double tickStart = secondsOf(CLOCK_MONOTONIC);
    int ticks = 0;
    double lastTick = tickStart;
    tick100->setOnTimer([&] {
        ++ticks;
        lastTick = secondsOf(CLOCK_MONOTONIC);
    });
    tick100->setEnabled(true);
    runFor(seconds);
    tick100->setEnabled(false);
    const double drift = (lastTick - tickStart) - ticks * 0.1;

    QLabel peer;
    peer.resize(297, 147);
    peer.show();
    QTimer tick;
    int n = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] { peer.setText(QString::number(++n)); });
    tick.start(50);
    const CpuShare plain = runFor(seconds);
    fs::remove_all(station);

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("launch to first painted player window:      %8.0f ms   (goal under 1000 ms)\n",
                firstPaint * 1000);
    std::printf(
        "running player, CPU of the whole process:   %8.2f %% of one core (goal under 2 %%)\n",
        player.process);
    std::printf("running player, CPU of the UI thread:       %8.2f %% of one core\n",
                player.uiThread);
    std::printf(
        "peer: a label repainted every 50 ms:        %8.2f %% of one core (UI thread %.2f %%)\n",
        plain.process, plain.uiThread);
    std::printf(
        "100 ms timer: %d ticks in %.0f s, last tick off its slot by %+.1f ms (no drift: within a "
        "few ms)\n",
        ticks, seconds, drift * 1000);
    std::printf("player / peer, UI thread:                   %8.2f\n",
                plain.uiThread > 0 ? player.uiThread / plain.uiThread : 0.0);
    return 0;
}
