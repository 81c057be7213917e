// The CPU share of the lyrics display while it scrolls. The display window is shown with lines
// one second apart, so that a line change (one pixel every 50 ms, then the new lines drawn) is
// always under way, fed by a 100 ms position tick as the scheduler feeds it. Measured side by
// side with the same event loop and tick without the display, as process CPU time over wall
// time. Runs on the offscreen platform unless QT_QPA_PLATFORM names another (xcb under Xvfb
// adds the X server's share of the drawing to nothing here: that is another process).
//   bench_lyrics_window [SECONDS per phase, default 10]
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "CpuTime.h"
#include "core/app/TextHelpers.h"
#include "core/audio/AudioServices.h"
#include "core/playout/Station.h"
#include "gui/app/QtPorts.h"
#include "gui/app/UiErrors.h"
#include "gui/lyrics/FrmMusic.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/Simulation.h"

namespace {

struct Phase {
    double cpuPercent = 0;
    int frames = 0;
};

// Runs the event loop for the given time with a 100 ms tick calling onTick(elapsed ms).
Phase runFor(int seconds, const std::function<void(int)>& onTick, const int* frames) {
    QElapsedTimer elapsed;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, [&] { onTick(static_cast<int>(elapsed.elapsed())); });
    const int framesBefore = *frames;
    const double cpuBefore = pelvano::bench::CpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    elapsed.start();
    tick.start();
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    return {100.0 * (pelvano::bench::CpuSeconds() - cpuBefore) / wall, *frames - framesBefore};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    using namespace pelvano;

    QTemporaryDir folder;
    platform::Simulation sim(core::LocalDateTime{2026, 12, 7, 8, 0, 0, 0});
    platform::FfmpegSourceFactory decoder;
    const core::StationPorts ports = sim.stationPorts(folder.path().toStdString(), decoder);
    core::Station station(ports);  // never started: the display only needs its paths

    gui::UiErrors errors(false);
    gui::QtTimerService timers(errors);
    gui::TFrmMusic display(station, timers);
    display.settings().setChkPlaySongText(true);
    display.applyPlacement({0, 600, 300, 50, 200, true});
    core::LyricsTable& table = display.lyrics().table;
    const int rows = seconds * 4 + 10;
    table.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        table.setCell(core::kLyricTimeCol, r, core::FormatMinSec((r - 1) * 1000));
        table.setCell(core::kLyricTextCol, r, "line " + std::to_string(r) + " of the song");
    }
    int frames = 0;
    QObject::connect(&display, &gui::TFrmMusic::frameShown, [&] { ++frames; });

    display.hide();
    const Phase idle = runFor(
        seconds, [](int) {}, &frames);
    display.show();
    display.lyrics().CurrentLyricRow = 1;
    display.display().RenderLyrics(1);
    int scrolledTicks = 0;
    const Phase scrolling = runFor(
        seconds,
        [&](int ms) {
            display.LyricAdvance(ms);
            scrolledTicks += display.display().animating();
        },
        &frames);

    std::printf("lyrics display, %d s per phase, platform %s, %d x %d window\n", seconds,
                qPrintable(QGuiApplication::platformName()), display.width(), display.height());
    std::printf("  event loop alone:           %6.2f %% of one core\n", idle.cpuPercent);
    std::printf(
        "  display scrolling:          %6.2f %% of one core (%d line changes drawn, "
        "scroll running at %d of %d position ticks)\n",
        scrolling.cpuPercent, scrolling.frames, scrolledTicks, seconds * 10);
    std::printf("  share of the display:       %6.2f %% of one core (goal < 1 %%)\n",
                scrolling.cpuPercent - idle.cpuPercent);
    return 0;
}
