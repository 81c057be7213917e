#include "gui/controls/RoundButtonRender.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "gui/controls/SkinMath.h"

namespace pelvano::gui {

namespace {

constexpr QRgb kWhite = 0xFFFFFFu;

QImage whiteImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(Qt::white));
    return img;
}

// Straight to the scan lines: the work images are all RGB32.
QRgb rgbAt(const QImage& img, int x, int y) {
    return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] & 0xFFFFFFu;
}
void setRgb(QImage& img, int x, int y, QRgb v) {
    reinterpret_cast<QRgb*>(img.scanLine(y))[x] = 0xFF000000u | (v & 0xFFFFFFu);
}

bool inEllipse(Edges box, double px, double py) {
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    if (rx <= 0 || ry <= 0) return false;
    const double dx = (px - (box.left + rx)) / rx;
    const double dy = (py - (box.top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0;
}

bool ellipsePixel(Edges box, int x, int y) {
    return inEllipse(box, x + 0.5, y + 0.5);
}

// White image, black inside the ellipse of box (right and bottom edges exclusive).
QImage ellipseMask(int w, int h, Edges box) {
    QImage img = whiteImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ellipsePixel(box, x, y)) setRgb(img, x, y, 0);
    return img;
}

// A one-pixel outline: ellipse pixels with a 4-neighbour outside the ellipse.
void strokeEllipse(QImage& img, Edges box, QRgb colour) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (!ellipsePixel(box, x, y)) continue;
            if (!ellipsePixel(box, x - 1, y) || !ellipsePixel(box, x + 1, y) ||
                !ellipsePixel(box, x, y - 1) || !ellipsePixel(box, x, y + 1)) {
                setRgb(img, x, y, colour);
            }
        }
    }
}

template <class Op>
void combine(QImage& dst, const QImage& src, Op op) {
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x)
            setRgb(dst, x, y, op(rgbAt(dst, x, y), rgbAt(src, x, y)));
}

void andWith(QImage& dst, const QImage& src) {
    combine(dst, src, [](QRgb a, QRgb b) { return a & b; });
}
void andNotWith(QImage& dst, const QImage& src) {
    combine(dst, src, [](QRgb a, QRgb b) { return a & ~b & kWhite; });
}
void orWith(QImage& dst, const QImage& src) {
    combine(dst, src, [](QRgb a, QRgb b) { return a | b; });
}

Edges inset(int w, int h, int a) {
    return {a, a, w - a, h - a};
}

// A ring along the ellipse of box, shaded as a band of a cone around the box's centre.
QImage shadedRing(int w, int h, Edges box, int bevelWidth, bool raised) {
    QImage img = whiteImage(w, h);
    const double rx = (box.right - box.left - 1) / 2.0;
    const double ry = (box.bottom - box.top - 1) / 2.0;
    const double cx = box.left + rx;
    const double cy = box.top + ry;
    const int q = static_cast<int>(std::ceil(bevelWidth / 2.0)) + 1;
    auto paint = [&](double fx, double fy, double dx, double dy) {
        const int x = static_cast<int>(fx);
        const int y = static_cast<int>(fy);
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const int g = RingGrey(dx, dy, raised);
        setRgb(img, x, y, qRgb(g, g, g));
    };
    auto plot = [&](double x, double y) {
        const int px = RoundEven(x);
        const int py = RoundEven(y);
        for (int j = py - q; j <= py + q; ++j) {
            for (int i = px - q; i <= px + q; ++i) {
                paint(std::ceil(cx + i), std::ceil(cy - j), i, -j);
                paint(std::ceil(cx + i), std::floor(cy + j), i, j);
                paint(std::floor(cx - i), std::floor(cy + j), -i, j);
                paint(std::floor(cx - i), std::ceil(cy - j), -i, -j);
            }
        }
    };
    const double rx2 = rx * rx;
    const double ry2 = ry * ry;
    double x = 0;
    double y = ry;
    double d1 = ry2 - rx2 * ry + rx2 / 4;
    plot(x, y);
    while (ry2 * (x + 1) < rx2 * (y - 0.5)) {
        if (d1 < 0) {
            d1 += ry2 * (2 * x + 3);
        } else {
            d1 += ry2 * (2 * x + 3) + rx2 * (2 - 2 * y);
            y -= 1;
        }
        x += 1;
        plot(x, y);
    }
    double d2 = ry2 * (x + 0.5) * (x + 0.5) + rx2 * (y - 1) * (y - 1) - rx2 * ry2;
    while (y > 0) {
        if (d2 < 0) {
            d2 += ry2 * (2 * x + 2) + rx2 * (3 - 2 * y);
            x += 1;
        } else {
            d2 += rx2 * (3 - 2 * y);
        }
        y -= 1;
        plot(x, y);
    }
    return img;
}

struct GlyphCell {
    int offset = 0;
    int width = 0;
    int height = 0;
};

GlyphCell glyphCell(const RoundButtonLook& look) {
    GlyphCell c;
    c.height = look.glyph.height();
    c.width =
        look.NumGlyphs == 1 ? look.glyph.width() : look.glyph.width() / std::max(1, look.NumGlyphs);
    c.offset = look.NumGlyphs == 1 ? 0 : (look.GlyphIndex - 1) * c.width;
    return c;
}

}  // namespace

int ShadeComponent(int v, double s) {
    return std::clamp(v + RoundEven(v * s), 0, 255);
}

TColor ShadeColour(TColor c, double s) {
    return core::MakeColor(ShadeComponent(core::RedOf(c), s), ShadeComponent(core::GreenOf(c), s),
                           ShadeComponent(core::BlueOf(c), s));
}

int RingGrey(double dx, double dy, bool raised) {
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r == 0) return 128 + RoundEven(128 * kLightSlope);
    const double sigma = raised ? 1.0 : -1.0;
    const double g =
        128 + RoundEven(128 * kLightSlope * (sigma * (-dx - dy) + r) / (r * std::numbers::sqrt2));
    return std::clamp(static_cast<int>(g), 0, 255);
}

int BevelCount(const RoundButtonLook& look) {
    return (look.BevelInner != hbNone ? 1 : 0) + (look.BevelOuter != hbNone ? 1 : 0);
}

bool RoundButtonHit(const RoundButtonLook& look, int x, int y) {
    const double b = BevelCount(look) * look.BevelWidth;
    const double hw = look.width / 2.0 - b;
    const double hh = look.height / 2.0 - b;
    if (hw <= 0 || hh <= 0) return false;
    const double dx = (x - look.width / 2.0) / hw;
    const double dy = (y - look.height / 2.0) / hh;
    return dx * dx + dy * dy <= 1.0;
}

int RoundButtonGlyphCells(const QImage& glyph) {
    if (glyph.height() == 0 || glyph.width() % glyph.height() != 0) return 1;
    return std::max(1, glyph.width() / glyph.height());
}

RoundButtonImages RenderRoundButton(const RoundButtonLook& look) {
    const int w = look.width;
    const int h = look.height;
    if (w < 2 || h < 2) return {};
    const int bw = look.BevelWidth;
    const int n = BevelCount(look);
    const bool both = n == 2;

    QImage mask = ellipseMask(w, h, {0, 0, w, h});
    const QImage m1 = n >= 1 ? ellipseMask(w, h, inset(w, h, bw)) : mask;
    const QImage m2 = both ? ellipseMask(w, h, inset(w, h, 2 * bw)) : m1;

    QImage r1;
    QImage r2;
    if (look.BevelOuter != hbNone) {
        r1 = shadedRing(w, h, inset(w, h, bw / 2), bw, look.BevelOuter == hbRaised);
        andWith(r1, m1);
        if (both) {
            r2 = shadedRing(w, h, inset(w, h, static_cast<int>(std::ceil(1.5 * bw))), bw,
                            look.BevelInner == hbRaised);
            andWith(r2, m2);
            andNotWith(r2, m1);
        }
    } else if (look.BevelInner != hbNone) {
        r1 = shadedRing(w, h, inset(w, h, static_cast<int>(std::ceil(bw / 2.0))), bw,
                        look.BevelInner == hbRaised);
        andWith(r1, m1);
    }

    QImage up = whiteImage(w, h);
    QImage down = whiteImage(w, h);
    const double hx = w / 2.0;
    const double hy = h / 2.0;
    const int iw = w - n * bw;
    const int ih = h - n * bw;
    const bool hasGlyph = !look.glyph.isNull();
    const GlyphCell cell = hasGlyph ? glyphCell(look) : GlyphCell{};
    const QImage glyph = hasGlyph ? look.glyph.convertToFormat(QImage::Format_RGB32) : QImage();
    const QRgb glyphKey = hasGlyph ? rgbAt(glyph, 0, glyph.height() - 1) : 0;

    auto facePixel = [&](int x, int y, double p, double q, double r) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        bool fromGlyph = false;
        TColor colour = look.FaceColor;
        if (hasGlyph && cell.width > 0 && cell.height > 0) {
            int gx = 0;
            int gy = 0;
            if (look.GlyphMapped) {
                gx = static_cast<int>(
                    std::floor(std::atan2(r, -p) * (cell.width - 1) / std::numbers::pi));
                gy = static_cast<int>(
                    std::floor(std::atan2(r, -q) * (cell.height - 1) / std::numbers::pi));
            } else {
                gx = static_cast<int>(std::floor(cell.width / 2.0 + x - hx));
                gy = static_cast<int>(std::floor(cell.height / 2.0 + y - hy));
            }
            if (gx >= 0 && gx < cell.width && gy >= 0 && gy < cell.height &&
                cell.offset + gx < glyph.width()) {
                const QRgb g = rgbAt(glyph, cell.offset + gx, gy);
                if (!(look.GlyphTransparent && g == glyphKey)) {
                    fromGlyph = true;
                    colour = core::MakeColor(qRed(g), qGreen(g), qBlue(g));
                }
            }
        }
        if (!fromGlyph && look.FaceTransparent) {
            if (rgbAt(m2, x, y) != kWhite) setRgb(mask, x, y, kWhite);
            return;
        }
        colour &= 0xFFFFFFu;
        const bool shaded = fromGlyph ? look.GlyphShaded : look.FaceShaded;
        TColor upColour = colour;
        TColor downColour = colour;
        if (shaded) {
            const double s = look.AttenControl * kLightSlope * (-p - q + r);
            upColour = ShadeColour(colour, s);
            downColour = ShadeColour(colour, -s);
        }
        auto toRgb = [](TColor c) {
            return qRgb(core::RedOf(c), core::GreenOf(c), core::BlueOf(c));
        };
        setRgb(up, x, y, toRgb(upColour));
        setRgb(down, x, y, toRgb(downColour));
    };

    for (int j = 0; j <= ih / 2; ++j) {
        const double fy = j / hy;
        const int m = static_cast<int>(std::ceil(std::sqrt(std::max(0.0, 1 - fy * fy)) * iw / 2));
        if (m <= 1) continue;
        for (int i = 0; i <= m; ++i) {
            const double fx = i / hx;
            const double z = 1 - std::sqrt(fx * fx + fy * fy);
            const int right = static_cast<int>(std::ceil(hx + i));
            const int left = static_cast<int>(std::floor(hx - i));
            const int top = static_cast<int>(std::floor(hy - j));
            const int bottom = static_cast<int>(std::ceil(hy + j));
            facePixel(right, top, fx, -fy, z);
            facePixel(right, bottom, fx, fy, z);
            facePixel(left, bottom, -fx, fy, z);
            facePixel(left, top, -fx, -fy, z);
        }
    }

    if (!look.Caption.isEmpty()) {
        const QColor ink = look.enabled ? look.fontColor : QColor(0x80, 0x80, 0x80);
        const QFontMetrics fm(look.font);
        const int tx = (w - fm.horizontalAdvance(look.Caption)) / 2;
        const int ty = (h - fm.height()) / 2;
        auto caption = [&](QImage& img, const QColor& colour) {
            QPainter painter(&img);
            painter.setFont(look.font);
            painter.setPen(colour);
            painter.drawText(QPoint(tx, ty + fm.ascent()), look.Caption);
        };
        caption(up, ink);
        caption(down, ink);
        if (look.FaceTransparent) caption(mask, Qt::black);
    }

    if (n > 0) {
        andNotWith(up, m2);
        andNotWith(down, m2);
    }
    for (const QImage* ring : {&r1, &r2}) {
        if (ring->isNull()) continue;
        orWith(up, *ring);
        orWith(down, *ring);
    }
    if (look.BorderStyle == bsSingle) {
        const int e = n * bw;
        const TColor c = ResolveColor(look.BorderColor);
        const QRgb border = qRgb(core::RedOf(c), core::GreenOf(c), core::BlueOf(c));
        strokeEllipse(up, {e, e, w - e, h - e}, border);
        strokeEllipse(down, {e, e, w - e, h - e}, border);
    }
    return {up, down, mask};
}

}  // namespace pelvano::gui
