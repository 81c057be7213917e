#include "gui/playout/DigitalFont.h"

#include <QFile>
#include <QFontDatabase>

namespace pelvano::gui {

namespace {

QString loadDigitalFamily(const std::string& stationFolder, const std::string& programFolder) {
    for (const std::string& folder : {stationFolder, programFolder}) {
        const QString file = QString::fromStdString(folder) + QStringLiteral("Digirtu_.ttf");
        if (!QFile::exists(file)) continue;
        const int id = QFontDatabase::addApplicationFont(file);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) return families.first();
    }
    if (QFontDatabase::hasFamily(QString::fromLatin1(kFallbackDigitalFace))) {
        return QString::fromLatin1(kFallbackDigitalFace);
    }
    return QFont().family();
}

}  // namespace

QString DigitalFontFamily(const std::string& stationFolder, const std::string& programFolder) {
    static const QString family = loadDigitalFamily(stationFolder, programFolder);
    return family;
}

QFont DigitalFont(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace pelvano::gui
