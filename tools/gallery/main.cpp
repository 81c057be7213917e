// pelvano-gallery: shows every skinned control in its states. With --screenshot FILE.png it
// renders the window (offscreen when there is no screen), writes the picture and exits.
#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <QPixmap>
#include <cstdio>

#include "GalleryWindow.h"

namespace {

// A picture of one colour means nothing was drawn.
bool hasContent(const QImage& img) {
    if (img.isNull()) return false;
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            if (img.pixel(x, y) != first) return true;
    return false;
}

int screenshot(pelvano::gallery::GalleryWindow& window, const QString& file) {
    window.show();
    QApplication::processEvents();
    const QImage img = window.grab().toImage();
    if (!hasContent(img)) {
        std::fprintf(stderr, "pelvano-gallery: the rendered window is blank\n");
        return 1;
    }
    if (!img.save(file, "PNG")) {
        std::fprintf(stderr, "pelvano-gallery: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool wantsScreenshot = false;
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--screenshot") wantsScreenshot = true;
    if (wantsScreenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Pelvano skinned controls gallery");
    parser.addHelpOption();
    const QCommandLineOption shot("screenshot", "Render the gallery to FILE.png and exit.",
                                  "FILE.png");
    parser.addOption(shot);
    parser.process(app);
    pelvano::gallery::GalleryWindow window;
    if (parser.isSet(shot)) return screenshot(window, parser.value(shot));
    window.show();
    return QApplication::exec();
}
