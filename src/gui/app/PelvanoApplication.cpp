#include "gui/app/PelvanoApplication.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace pelvano::gui {

PelvanoApplication::PelvanoApplication(int& argc, char** argv, bool showErrorBoxes)
    : QApplication(argc, argv), errors_(showErrorBoxes) {
    // Debian's qt6-translations-l10n; without it the standard buttons stay English.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qtTexts);
    } else {
        delete qtTexts;
    }
}

void SetApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Pelvano"));
    QGuiApplication::setDesktopFileName(QStringLiteral("pelvano"));
}

bool PelvanoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        errors_.reportCurrentException();
        return false;
    }
}

}  // namespace pelvano::gui
