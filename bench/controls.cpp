// Prints the cost of the skinned controls' expensive steps: rendering a 19 × 19 round button's
// three images, and one level-meter update painted to the screen image.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>

#include "gui/controls/MyVolMeter.h"
#include "gui/controls/RoundButtonRender.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double microsecondsPerRun(int runs, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) f(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    using namespace pelvano::gui;

    RoundButtonLook plain;
    plain.width = plain.height = 19;
    RoundButtonLook rich = plain;
    rich.BevelInner = hbRaised;
    rich.BorderStyle = bsSingle;
    rich.glyph = QImage(12, 12, QImage::Format_RGB32);
    rich.glyph.fill(Qt::green);
    rich.GlyphMapped = true;
    int sink = 0;
    const double plainUs =
        microsecondsPerRun(2000, [&](int) { sink += RenderRoundButton(plain).up.width(); });
    const double richUs =
        microsecondsPerRun(2000, [&](int) { sink += RenderRoundButton(rich).up.width(); });
    std::printf("round button 19x19, one bevel:                  %8.1f us per render of 3 images\n",
                plainUs);
    std::printf("round button 19x19, two bevels, border, glyph:  %8.1f us per render of 3 images\n",
                richUs);

    TMyVolMeter meter;
    meter.resize(7, 86);
    meter.Setstereo(false);
    meter.SetlevelMin(0);
    meter.SetlevelMax(100);
    meter.SetlevelHigh(85);
    meter.SetlevelMed(50);
    const float levels[] = {0.9f, 0.2f, 0.6f, 0.05f};
    const double updateUs =
        microsecondsPerRun(20000, [&](int i) { meter.SetLeftPosition(levels[i % 4]); });
    QImage screen(7, 86, QImage::Format_RGB32);
    const double paintUs = microsecondsPerRun(20000, [&](int i) {
        meter.SetLeftPosition(levels[i % 4]);
        QPainter p(&screen);
        meter.render(&p);
    });
    std::printf("level meter 7x86, update of the lit segments:   %8.2f us\n", updateUs);
    std::printf("level meter 7x86, update and paint:             %8.2f us\n", paintUs);
    return sink == 0 ? 1 : 0;
}
