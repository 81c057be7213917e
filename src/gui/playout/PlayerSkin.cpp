#include "gui/playout/PlayerSkin.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "core/playout/PlayerSliders.h"
#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

namespace {

constexpr int kSkinWidth = 297;
constexpr int kSkinHeight = 147;
constexpr int kCornerRadius = 14;

// The accent brightened (factor > 1) or darkened (factor < 1), each component at most 255.
QColor scaled(core::TColor accent, double factor) {
    const auto part = [factor](int v) { return std::min(255, static_cast<int>(v * factor)); };
    return QColor(part(core::RedOf(accent)), part(core::GreenOf(accent)),
                  part(core::BlueOf(accent)));
}

// A sunken pane of dark glass, tinted by the accent, with a one-pixel bevel.
void drawGlass(QPainter& p, const QRect& r, core::TColor accent) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r), 5, 5);
    QLinearGradient glass(r.topLeft(), r.bottomLeft());
    glass.setColorAt(0, scaled(accent, 0.12));
    glass.setColorAt(1, scaled(accent, 0.28));
    p.fillPath(path, glass);
    p.setPen(scaled(accent, 0.35));
    p.drawLine(r.left() + 4, r.top(), r.right() - 4, r.top());
    p.drawLine(r.left(), r.top() + 4, r.left(), r.bottom() - 4);
    p.setPen(scaled(accent, 1.6));
    p.drawLine(r.left() + 4, r.bottom() + 1, r.right() - 4, r.bottom() + 1);
    p.drawLine(r.right() + 1, r.top() + 4, r.right() + 1, r.bottom() - 4);
}

}  // namespace

QImage DrawPlayerSkin(core::ColorStyle style) {
    const core::TColor accent = core::PlayerSliders::AccentOf(style);
    QImage skin(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
    skin.fill(ToQColor(kPlayerKeyColour));
    QPainter p(&skin);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The body: a rounded slab lit from above, with a dark rim and a light inner edge.
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 0, kSkinWidth - 1, kSkinHeight - 1), kCornerRadius,
                        kCornerRadius);
    QLinearGradient slab(0, 0, 0, kSkinHeight);
    slab.setColorAt(0, scaled(accent, 1.7));
    slab.setColorAt(0.45, scaled(accent, 1.05));
    slab.setColorAt(1, scaled(accent, 0.55));
    p.fillPath(body, slab);
    p.setPen(scaled(accent, 0.35));
    p.drawPath(body);
    QPainterPath rim;
    rim.addRoundedRect(QRectF(2, 2, kSkinWidth - 5, kSkinHeight - 5), kCornerRadius - 2,
                       kCornerRadius - 2);
    p.setPen(scaled(accent, 1.9));
    p.drawPath(rim);

    drawGlass(p, kDisplayGlass, accent);
    drawGlass(p, kMeterGlass, accent);

    // A groove between the display and the controls.
    p.setPen(scaled(accent, 0.6));
    p.drawLine(12, 80, kSkinWidth - 13, 80);
    p.setPen(scaled(accent, 1.5));
    p.drawLine(12, 81, kSkinWidth - 13, 81);
    p.end();

    return skin;
}

QImage DrawSliderGrid(core::ColorStyle style) {
    const core::TColor accent = core::PlayerSliders::AccentOf(style);
    QImage tile(6, 6, QImage::Format_RGB32);
    tile.fill(scaled(accent, 0.75));
    const QColor line = scaled(accent, 1.25);
    for (int i = 0; i < 6; ++i) {
        tile.setPixelColor(i, 0, line);
        tile.setPixelColor(0, i, line);
    }
    tile.setPixelColor(3, 3, scaled(accent, 1.5));
    return tile;
}

QImage DrawButtonGlyph(PlayerGlyph glyph, int size, const QColor& ink) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const int m = size / 5;  // margin
    const int s = size - 2 * m;
    switch (glyph) {
        case PlayerGlyph::Play: {
            const QPoint triangle[] = {{m + 1, m}, {m + 1, m + s - 1}, {m + s, m + s / 2}};
            p.drawPolygon(triangle, 3);
            break;
        }
        case PlayerGlyph::Pause:
            p.drawRect(m, m, s / 3, s - 1);
            p.drawRect(m + s - s / 3, m, s / 3, s - 1);
            break;
        case PlayerGlyph::Stop:
            p.drawRect(m, m, s - 1, s - 1);
            break;
        case PlayerGlyph::List:
            for (int i = 0; i < 4; ++i) p.drawRect(m, m + i * s / 4, s, std::max(1, s / 8));
            break;
        case PlayerGlyph::Minimise:
            p.drawRect(m, m + s - std::max(2, s / 5), s, std::max(2, s / 5));
            break;
        case PlayerGlyph::Exit: {
            QPen pen(ink, std::max(2, s / 5));
            p.setPen(pen);
            p.drawLine(m, m, m + s - 1, m + s - 1);
            p.drawLine(m, m + s - 1, m + s - 1, m);
            break;
        }
    }
    p.end();
    // The key colour stays in the bottom-left corner whatever the glyph.
    image.setPixelColor(0, size - 1, QColor(255, 0, 255));
    return image;
}

}  // namespace pelvano::gui
