#include "gui/controls/SkinDrawing.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/app/TextHelpers.h"

namespace pelvano::gui {

void DrawLineTo(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;
    if (y1 == y2) {
        p.drawLine(x1, y1, x2 > x1 ? x2 - 1 : x2 + 1, y1);
    } else if (x1 == x2) {
        p.drawLine(x1, y1, x1, y2 > y1 ? y2 - 1 : y2 + 1);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

void Frame3D(QPainter& p, Edges& rect, const QColor& topLeft, const QColor& bottomRight,
             int width) {
    for (int k = 0; k < width && rect.right > rect.left && rect.bottom > rect.top; ++k) {
        const int r = rect.right - 1;
        const int b = rect.bottom - 1;
        p.fillRect(rect.left, rect.top + 1, 1, b - rect.top, topLeft);
        p.fillRect(rect.left, rect.top, r - rect.left, 1, topLeft);
        p.fillRect(r, rect.top, 1, b - rect.top, bottomRight);
        p.fillRect(rect.left + 1, b, r - rect.left, 1, bottomRight);
        rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
}

void DrawRectangle(QPainter& p, Edges rect, const QColor& pen, int penWidth, const QColor& fill) {
    if (fill.isValid()) p.fillRect(rect.toQRect(), fill);
    Frame3D(p, rect, pen, pen, penWidth);
}

void DrawGradientBand(QPainter& p, Edges rect, TColor colour) {
    const int e = (rect.bottom - rect.top) / 2;
    for (int n = e; n >= 0; --n) {
        p.setPen(ToQColor(core::ScaleColor(colour, (e - n) * 0.03 + 1)));
        DrawLineTo(p, rect.left, rect.top + n, rect.right, rect.top + n);
        DrawLineTo(p, rect.left, rect.top + 2 * e - n, rect.right, rect.top + 2 * e - n);
    }
}

std::vector<RidgeSegment> RidgeLineSegments(int x, int y, int length, int kind, TColor colour) {
    const TColor dark = core::ScaleColor(colour, 2.3);
    const TColor mid = core::ScaleColor(colour, 2);
    // Inset of each line's ends, top to bottom; a negative inset widens the line.
    int insets[5] = {0, 0, 0, 0, 0};
    if (kind == 1) {
        const int k1[5] = {2, 1, 0, -1, -2};
        std::copy(k1, k1 + 5, insets);
    } else if (kind == 3) {
        const int k3[5] = {-2, -1, 0, 1, 2};
        std::copy(k3, k3 + 5, insets);
    }
    const TColor colours[5] = {dark, mid, colour, mid, dark};
    std::vector<RidgeSegment> out;
    for (int i = 0; i < 5; ++i) {
        out.push_back({y - 2 + i, x + insets[i], x + length - insets[i], colours[i]});
    }
    return out;
}

void DrawRidgeLine(QPainter& p, int x, int y, int length, int kind, TColor colour) {
    for (const RidgeSegment& s : RidgeLineSegments(x, y, length, kind, colour)) {
        p.setPen(ToQColor(s.colour));
        DrawLineTo(p, s.fromX, s.y, s.toX, s.y);
    }
}

EffectText ParseEffectText(std::string_view description) {
    EffectText s;
    s.text = core::GetField(description, "~~", 1);
    s.x = core::StrToIntDef(core::GetField(description, "~~", 2), 200);
    s.y = core::StrToIntDef(core::GetField(description, "~~", 3), 400);
    s.angle = core::StrToIntDef(core::GetField(description, "~~", 4), 0);
    core::TextToFont(core::GetField(description, "~~", 5), s.font);
    s.outline = core::RgbTextToColor(core::GetField(description, "~~", 6));
    s.outlineWidth = core::StrToIntDef(core::GetField(description, "~~", 7), 1);
    s.depth = core::StrToIntDef(core::GetField(description, "~~", 8), 0);
    return s;
}

TColor RingColour(TColor outline, int ring) {
    const double divisor = std::trunc(std::pow(3.0, ring - 1));
    auto part = [divisor](int v) { return static_cast<int>(v / divisor); };
    return core::MakeColor(part(core::RedOf(outline)), part(core::GreenOf(outline)),
                           part(core::BlueOf(outline)));
}

std::vector<QPoint> DiamondPoints(int x, int y, int r) {
    std::vector<QPoint> pts;
    for (int i = 1; i <= r; ++i) {
        pts.emplace_back(x + i - r, y - i);
        pts.emplace_back(x + i, y + i - r);
        pts.emplace_back(x + r - i, y + i);
        pts.emplace_back(x - i, y + r - i);
    }
    return pts;
}

namespace {

// Text whose cell's top-left corner is at (x, y), turned about that corner.
void textOut(QPainter& p, int x, int y, int angle, const QString& text) {
    p.save();
    p.translate(x, y);
    if (angle != 0) p.rotate(-angle / 10.0);
    p.drawText(QPointF(0, QFontMetrics(p.font()).ascent()), text);
    p.restore();
}

}  // namespace

void DrawEffectText(QPainter& p, const EffectText& description) {
    // The most negative depth has no magnitude: nothing to draw.
    if (description.depth == std::numeric_limits<int>::min()) return;
    const int passes = std::min(std::abs(description.depth), kMaxDepth);
    const int width = std::clamp(description.outlineWidth, 0, kMaxOutlineWidth);
    const QString text = GbkToQString(description.text);
    p.setFont(ToQFont(description.font));
    for (int k = passes; k >= 0; --k) {
        const int d = description.depth >= 0 ? k : -k;
        for (int r = width; r >= 1; --r) {
            p.setPen(ToQColor(RingColour(description.outline, r)));
            for (const QPoint& pt : DiamondPoints(description.x + d, description.y + d, r)) {
                textOut(p, pt.x(), pt.y(), description.angle, text);
            }
        }
        p.setPen(ToQColor(description.font.color));
        textOut(p, description.x + d, description.y + d, description.angle, text);
    }
}

void DrawEffectText(QPainter& p, std::string_view description, std::string_view text) {
    EffectText s = ParseEffectText(description);
    if (!text.empty()) s.text = std::string(text);
    DrawEffectText(p, s);
}

QSize TextExtent(const QFont& font, const QString& text) {
    const QFontMetrics fm(font);
    return QSize(fm.horizontalAdvance(text), fm.height());
}

void DrawFittedText(QPainter& p, core::FontRecord& font, std::string_view text, int align,
                    int outlineWidth, TColor outlineColour, Edges rect) {
    const std::string shown = text.empty() ? std::string(" ") : std::string(text);
    const QString qtext = GbkToQString(shown);
    const int w = rect.width() - 2;
    const int h = rect.height() - 2;
    auto extent = [&] { return TextExtent(ToQFont(font), qtext); };
    while (extent().height() > h && font.size >= 3) --font.size;
    while (extent().width() > w && font.size >= 3) --font.size;
    const QSize te = extent();
    int x = rect.left + w - te.width();
    if (align == 0) x = rect.left + 1;
    if (align == 1) x = rect.left + (w - te.width()) / 2;
    const int y = rect.top + (h - te.height()) / 2 + 1;
    EffectText description;
    description.text = shown;
    description.x = x;
    description.y = y;
    description.font = font;
    description.outline = outlineColour;
    description.outlineWidth = outlineWidth;
    DrawEffectText(p, description);
}

}  // namespace pelvano::gui
