#include "GalleryArt.h"

#include <QPainter>
#include <QPainterPath>

namespace pelvano::gallery {

QImage PlayGlyph(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 160, 40));
    const int m = size / 4;
    p.drawPolygon(QPolygon({{m, m}, {size - m, size / 2}, {m, size - m}}));
    return img;
}

QImage ReloadGlyphPair(int size) {
    QImage img(2 * size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor colours[2] = {QColor(30, 90, 200), QColor(140, 140, 140)};
    for (int cell = 0; cell < 2; ++cell) {
        const int x0 = cell * size;
        p.setPen(QPen(colours[cell], 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(x0 + 3, 3, size - 6, size - 6), 30 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colours[cell]);
        p.drawPolygon(
            QPolygon({{x0 + size - 4, 2}, {x0 + size - 2, size / 2}, {x0 + size / 2, size / 3}}));
    }
    return img;
}

QImage CheckerTile(int size, QRgb a, QRgb b) {
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, ((x / (size / 2)) + (y / (size / 2))) % 2 ? a : b);
    return img;
}

QImage ShapedPlate(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    QPainter p(&img);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0, 0, w, h), h / 3.0, h / 3.0);
    QPainterPath bite;
    bite.addEllipse(QPointF(w, 0), h / 2.0, h / 2.0);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(250, 200, 90));
    g.setColorAt(1, QColor(180, 90, 20));
    p.fillPath(plate.subtracted(bite), g);
    return img;
}

}  // namespace pelvano::gallery
