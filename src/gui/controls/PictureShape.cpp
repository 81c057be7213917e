#include "gui/controls/PictureShape.h"

namespace pelvano::gui {

std::vector<Edges> ShapeRectangles(const QImage& picture, TColor transparent) {
    std::vector<Edges> runs;
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    const bool canMatch = !core::IsSystemColor(transparent);
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int start = -1;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = row[x];
            const bool clear =
                canMatch && core::MakeColor(qRed(c), qGreen(c), qBlue(c)) == transparent;
            if (!clear && start < 0) start = x;
            if (clear && start >= 0) {
                runs.push_back({start, y, x, y + 1});
                start = -1;
            }
        }
        if (start >= 0) runs.push_back({start, y, img.width(), y + 1});
    }
    return runs;
}

QRegion ShapeRegion(const QImage& picture, TColor transparent) {
    std::vector<QRect> rects;
    for (const Edges& r : ShapeRectangles(picture, transparent)) rects.push_back(r.toQRect());
    QRegion region;
    // The runs come row by row, left to right, never overlapping: already in banded order.
    if (!rects.empty()) region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

}  // namespace pelvano::gui
