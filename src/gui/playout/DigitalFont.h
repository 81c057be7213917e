#pragma once
// The digital face of the player's clock and timer labels: the font file "Digirtu_.ttf" beside
// the program (or in the station folder) when there is one, added to the application's fonts
// for as long as the program runs; otherwise Debian's seven-segment DSEG7 face through
// fontconfig; otherwise the default face. UI thread only.
#include <QFont>
#include <QString>
#include <string>

namespace pelvano::gui {

// The face "Digital Readout Thick Upright" of the stored font file.
inline constexpr const char* kDigitalFaceName = "Digital Readout Thick Upright";
inline constexpr const char* kFallbackDigitalFace = "DSEG7 Classic";

// Adds "Digirtu_.ttf" from the first of the folders that has it (a missing file is ignored)
// and returns the family to use for the digital labels. Only the first call loads.
QString DigitalFontFamily(const std::string& stationFolder, const std::string& programFolder);

// A font of the digital family at a pixel size; characters the family lacks (the weekday's
// Chinese) fall back to the application's default face.
QFont DigitalFont(const QString& family, int pixelSize);

}  // namespace pelvano::gui
