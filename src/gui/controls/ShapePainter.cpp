#include "gui/controls/ShapePainter.h"

#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

QColor inverse(TColor c) {
    return ToQColor((~ResolveColor(c)) & 0xFFFFFFu);
}

// A plain label in the shape's font, turned by angle tenths of a degree.
void label(QPainter& p, const ShapeParams& s, const QString& text, int x, int y, int angle = 0) {
    EffectText description;
    description.text = QStringToGbk(text);
    description.x = x;
    description.y = y;
    description.angle = angle;
    description.font = s.font;
    description.outline = core::clBlack;
    description.outlineWidth = 0;
    DrawEffectText(p, description);
}

void dot(QPainter& p, const ShapeParams& s, QPoint at) {
    if (!s.showDot) return;
    p.save();
    const int r = s.penWidth + 2;
    p.setPen(QPen(ToQColor(core::clYellow), 1));
    p.setBrush(Qt::black);
    p.drawEllipse(at, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(core::clGray));
    p.drawEllipse(at, s.penWidth, s.penWidth);
    p.restore();
}

void captionLines(QPainter& p, const ShapeParams& s) {
    const QStringList parts = CaptionParts(s.caption);
    const std::vector<Edges> boxes = MultTextBoxes(s.caption, s.width, s.height);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const QString part =
            i < static_cast<size_t>(parts.size()) ? parts[static_cast<int>(i)] : QString();
        DrawShapeFittedText(p, s.font, part, boxes[i], s.textAlign, s.orgFontSize);
    }
}

// Terminal labels of the switch and relay kinds: left then right.
void terminalLabels(QPainter& p, const ShapeParams& s, int y) {
    const QString left = s.sID.section(',', 0, 0);
    const QString right = s.sID.section(',', 1, 1);
    label(p, s, left, 1, y);
    label(p, s, right, s.width - TextExtent(ToQFont(s.font), right).width() - 1, y);
}

void paintTriLine(QPainter& p, const ShapeParams& s) {
    const int w = s.width;
    const int h = s.height;
    const int pw = s.penWidth;
    switch (s.direction) {
        case ddUp:
            p.drawPolyline(QPolygon({{0, h}, {w / 2, h - w}, {w, h}}));
            p.drawLine(w / 2, h - w, w / 2, 0);
            dot(p, s, {w / 2, pw + 2});
            label(p, s, s.caption, w - 2, 2 * pw + 6, -900);
            break;
        case ddDown:
            p.drawPolyline(QPolygon({{0, 0}, {w / 2, w}, {w, 0}}));
            p.drawLine(w / 2, w, w / 2, h);
            dot(p, s, {w / 2, h - pw - 2});
            label(p, s, s.caption, w - 2, w + 3, -900);
            break;
        case ddLeft:
            p.drawPolyline(QPolygon({{w, 0}, {w - h, h / 2}, {w, h}}));
            p.drawLine(w - h, h / 2, 0, h / 2);
            dot(p, s, {pw + 2, h / 2});
            label(p, s, s.caption, 2 * pw + 6, 1);
            break;
        case ddRight:
            p.drawPolyline(QPolygon({{0, 0}, {h, h / 2}, {0, h}}));
            p.drawLine(h, h / 2, w, h / 2);
            dot(p, s, {w - pw - 2, h / 2});
            label(p, s, s.caption, h + 2, 1);
            break;
    }
}

void paintArrow(QPainter& p, const ShapeParams& s) {
    const std::vector<QPoint> corners = ArrowOutline(s.direction, s.width, s.height, s.penWidth);
    const QPolygon outline(QList<QPoint>(corners.begin(), corners.end()));
    if (s.showDot) {
        p.save();
        p.setBrush(ToQColor(s.colour));
        p.drawPolygon(outline);
        p.restore();
    } else {
        p.drawPolygon(outline);
    }
    const bool sideways = s.direction == ddLeft || s.direction == ddRight;
    const int b = std::max(1, (sideways ? s.height : s.width) / 8);
    // The tail sits between the two shaft corners at the far end.
    const QPoint tail = (outline.point(0) + outline.point(6)) / 2;
    p.save();
    p.setPen(QPen(ToQColor(s.colour), s.penWidth, Qt::SolidLine));
    p.setBrush(inverse(s.colour));
    p.drawEllipse(tail, 2 * b, 2 * b);
    p.restore();
    captionLines(p, s);
}

void paintRectangle(QPainter& p, const ShapeParams& s) {
    const int pw = s.penWidth;
    p.drawRect(QRect(pw, pw, s.width - 2 * pw, s.height - 2 * pw));
    const Edges band = RectangleLevelBand(s.caption, s.direction, s.width, s.height, pw);
    if (band.width() > 0 && band.height() > 0) {
        const bool vertical = s.direction == ddUp || s.direction == ddDown;
        const int extent = vertical ? band.width() : band.height();
        const int mid = extent / 2;
        for (int i = 0; i <= mid; ++i) {
            p.setPen(ToQColor(core::ScaleColor(ResolveColor(s.colour), i * 0.04 + 1)));
            for (int at : {mid - i, mid + i}) {
                if (at < 0 || at >= extent) continue;
                if (vertical) {
                    DrawLineTo(p, band.left + at, band.top, band.left + at, band.bottom);
                } else {
                    DrawLineTo(p, band.left, band.top + at, band.right, band.top + at);
                }
            }
        }
    }
    if (s.showDot) captionLines(p, s);
}

void paintMultiLine(QPainter& p, const ShapeParams& s) {
    const bool vertical = s.direction == ddUp || s.direction == ddDown;
    for (int at : MultiLinePositions(s.frameWidth, vertical ? s.width : s.height, s.penWidth)) {
        if (vertical) {
            p.drawLine(at, 0, at, s.height);
        } else {
            p.drawLine(0, at, s.width, at);
        }
    }
    DrawShapeFittedText(p, s.font, s.caption, {0, 0, s.width, s.height - s.penWidth - 2},
                        s.textAlign, s.orgFontSize);
}

void paintTable(QPainter& p, const ShapeParams& s) {
    const QPoint counts = TableLineCounts(s.caption);
    for (int y : TableLinePositions(counts.x(), s.height, s.penWidth)) p.drawLine(0, y, s.width, y);
    for (int x : TableLinePositions(counts.y(), s.width, s.penWidth)) p.drawLine(x, 0, x, s.height);
}

// Dial kinds read "a:b:c" from the caption, defaults 0, 25, 40.
std::array<int, 3> dialValues(const QString& caption) {
    std::array<int, 3> v{0, 25, 40};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int n = caption.section(':', i, i).trimmed().toInt(&ok);
        if (ok) v[static_cast<size_t>(i)] = n;
    }
    return v;
}

void hand(QPainter& p, QPointF c, double radius, double turns) {
    const double a = turns * 2 * std::numbers::pi;
    p.drawLine(c, c + QPointF(std::sin(a) * radius, -std::cos(a) * radius));
}

void paintDial(QPainter& p, const ShapeParams& s, bool compass) {
    const QRectF face(2, 2, s.width - 4, s.height - 4);
    const QPointF c = face.center();
    const double r = std::min(face.width(), face.height()) / 2;
    p.drawEllipse(face);
    const auto v = dialValues(s.caption);
    if (compass) {
        for (int i = 0; i < 4; ++i) hand(p, c, r, i / 4.0);
        p.save();
        p.setPen(QPen(ToQColor(core::clRed), std::max(1, s.penWidth)));
        hand(p, c, r * 0.8, v[0] / 360.0);
        p.restore();
        return;
    }
    for (int i = 0; i < 12; ++i) {
        const double a = i / 12.0 * 2 * std::numbers::pi;
        p.drawPoint(c + QPointF(std::sin(a) * r * 0.85, -std::cos(a) * r * 0.85));
    }
    hand(p, c, r * 0.5, (v[0] % 12 + v[1] / 60.0) / 12.0);
    hand(p, c, r * 0.75, v[1] / 60.0);
    p.save();
    p.setPen(QPen(ToQColor(core::clRed), 1));
    hand(p, c, r * 0.9, v[2] / 60.0);
    p.restore();
}

void paintCoil(QPainter& p, const ShapeParams& s) {
    const int w = s.width - s.width % 3;
    const int turns = 3;
    const int step = w / turns;
    const int y = s.height / 2;
    for (int i = 0; i < turns; ++i)
        p.drawArc(QRect(i * step, y - step / 2, step, step), 0, 180 * 16);
    label(p, s, s.caption, 1, y + step / 2 + 2);
}

void paintTwoTerminal(QPainter& p, const ShapeParams& s) {
    const int w = s.width;
    const int h = s.height;
    const int y = h / 2;
    const int a = w / 3;
    const int b = w - w / 3;
    p.drawLine(0, y, a, y);
    p.drawLine(b, y, w, y);
    switch (s.kind) {
        case dsResistance:
            p.drawRect(QRect(a, y - h / 6, b - a, h / 3));
            break;
        case dsCapacitance:
            p.drawLine(a, y - h / 4, a, y + h / 4);
            p.drawLine(b, y - h / 4, b, y + h / 4);
            break;
        default:  // the diode: a triangle towards its bar
            p.drawPolygon(QPolygon({{a, y - h / 5}, {a, y + h / 5}, {b, y}}));
            p.drawLine(b, y - h / 5, b, y + h / 5);
            break;
    }
    label(p, s, s.caption, a, 1);
    dot(p, s, {0, y});
    dot(p, s, {w, y});
}

void paintSwitchOrRelay(QPainter& p, const ShapeParams& s) {
    const int w = s.width;
    const int h = s.height;
    const int y = h * 2 / 3;
    const int a = w / 3;
    const int b = w - w / 3;
    if (s.kind == dsRelay) {
        p.drawLine(0, y, w, y);
        QLinearGradient g(a, y - h / 8, a, y + h / 8);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, ToQColor(s.colour));
        p.fillRect(QRect(a, y - h / 8, b - a, h / 4), g);
        p.drawRect(QRect(a, y - h / 8, b - a, h / 4));
        for (int i = 0; i < 3; ++i)
            p.drawArc(QRect(a + i * (b - a) / 3, y + h / 8, (b - a) / 3, h / 8), 180 * 16,
                      180 * 16);
    } else {
        p.drawLine(0, y, a, y);
        p.drawLine(b, y, w, y);
        const int tipY = s.kind == dsSwitch1ON ? y : h / 8;
        p.drawLine(a, y, b + (s.kind == dsSwitch1ON ? 0 : -2), tipY);
    }
    const QSize te = TextExtent(ToQFont(s.font), s.caption);
    label(p, s, s.caption, (w - te.width()) / 2, 1);
    terminalLabels(p, s, y + 2);
    dot(p, s, {0, y});
    dot(p, s, {w, y});
}

void paintBoatSwitch(QPainter& p, const ShapeParams& s) {
    QStringList items = CaptionParts(s.caption);
    if (items.isEmpty()) items = {QString()};
    const int n = static_cast<int>(items.size());
    const int cell = s.height / n;
    for (int i = 0; i < n; ++i) {
        Edges r{0, i * cell, s.width, (i + 1) * cell};
        const Edges box = r;
        p.fillRect(r.toQRect(), ToQColor(clBtnFace));
        Frame3D(p, r, ToQColor(clBtnHighlight), ToQColor(clBtnShadow), std::max(1, s.frameWidth));
        DrawShapeFittedText(p, s.font, items[i], box, s.textAlign, s.orgFontSize);
    }
}

void paintPolygonWithLabels(QPainter& p, const ShapeParams& s, const QPolygon& shape,
                            const std::vector<QPoint>& labelAt) {
    p.drawPolygon(shape);
    const QStringList parts = CaptionParts(s.caption);
    for (size_t i = 0; i < labelAt.size() && i < static_cast<size_t>(parts.size()); ++i)
        label(p, s, parts[static_cast<int>(i)], labelAt[i].x(), labelAt[i].y());
}

void paintHandwheel(QPainter& p, const ShapeParams& s) {
    const QRectF rim(s.penWidth, s.penWidth, s.width - 2 * s.penWidth, s.height - 2 * s.penWidth);
    const QPointF c = rim.center();
    p.drawEllipse(rim);
    for (int i = 0; i < 3; ++i) hand(p, c, std::min(rim.width(), rim.height()) / 2, i / 3.0);
    p.drawEllipse(c, rim.width() / 8, rim.height() / 8);
}

void paintHeightMeter(QPainter& p, const ShapeParams& s) {
    bool ok = false;
    const int value = s.caption.section(',', 0, 0).trimmed().toInt(&ok);
    bool okMax = false;
    int maximum = s.caption.section(',', 1, 1).trimmed().toInt(&okMax);
    if (!okMax || maximum <= 0) maximum = 2000;
    const int bar = s.width / 3;
    const double share = std::clamp(ok ? static_cast<double>(value) / maximum : 0.0, 0.0, 1.0);
    const int top = s.height - 2 - static_cast<int>((s.height - 4) * share);
    QLinearGradient g(0, 0, bar, 0);
    g.setColorAt(0, ToQColor(s.colour));
    g.setColorAt(1, Qt::white);
    p.fillRect(QRect(1, top, bar, s.height - 2 - top), g);
    for (int i = 0; i <= 10; ++i) {
        const int y = 2 + i * (s.height - 4) / 10;
        p.drawLine(bar + 2, y, bar + (i % 5 == 0 ? 10 : 6), y);
    }
    label(p, s, QString("%1").arg(ok ? value : 0, 4, 10, QChar('0')), bar + 12, top - 6);
}

}  // namespace

ShapeTextPlacement PlaceShapeText(const core::FontRecord& font, const QString& text, Edges box,
                                  TShapeTextAlign align, bool orgFontSize) {
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    core::FontRecord f = font;
    auto extent = [&] { return TextExtent(ToQFont(f), shown); };
    if (!orgFontSize) {
        while (extent().height() > box.height() - 2 && f.size > 2) --f.size;
        while (extent().width() > box.width() - 2 && f.size > 2) --f.size;
    }
    const QSize te = extent();
    ShapeTextPlacement at;
    at.size = f.size;
    at.x = box.left + (box.width() - 2 - te.width()) / 2;
    if (align == taLeft) at.x = box.left + 2;
    if (align == taRight) at.x = box.left + box.width() - 2 - te.width();
    at.y = box.top + (box.height() - 2 - te.height()) / 2 + 1;
    return at;
}

void DrawShapeFittedText(QPainter& p, const core::FontRecord& font, const QString& text, Edges box,
                         TShapeTextAlign align, bool orgFontSize) {
    const ShapeTextPlacement at = PlaceShapeText(font, text, box, align, orgFontSize);
    core::FontRecord f = font;
    f.size = at.size;
    const QFont qf = ToQFont(f);
    const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
    const int ascent = QFontMetrics(qf).ascent();
    p.save();
    p.setFont(qf);
    p.setPen(QColor(16, 16, 16));
    const QPoint ring[8] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}};
    for (const QPoint& d : ring) p.drawText(QPoint(at.x + d.x(), at.y + d.y() + ascent), shown);
    p.setPen(ToQColor(f.color));
    p.drawText(QPoint(at.x, at.y + ascent), shown);
    p.restore();
}

QPen ShapePen(const ShapeParams& s) {
    static const Qt::PenStyle styles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                          Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                          Qt::SolidLine};
    QPen pen(ToQColor(s.colour), s.penWidth, styles[s.penStyle]);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void PaintShapeKind(QPainter& p, const ShapeParams& s) {
    const int w = s.width;
    const int h = s.height;
    switch (s.kind) {
        case dsText:
        case dsMultText:
            captionLines(p, s);
            break;
        case dsTriLine:
            paintTriLine(p, s);
            break;
        case dsRelay:
        case dsSwitch1OFF:
        case dsSwitch1ON:
            paintSwitchOrRelay(p, s);
            break;
        case dsLine: {
            const bool rising = s.direction == ddUp || s.direction == ddRight;
            const QPoint a = rising ? QPoint(0, h) : QPoint(0, 0);
            const QPoint b = rising ? QPoint(w, 0) : QPoint(w, h);
            p.drawLine(a, b);
            const int angle = static_cast<int>(
                std::lround(std::atan2(a.y() - b.y(), b.x() - a.x()) * 1800 / std::numbers::pi));
            label(p, s, s.caption, w / 4, rising ? h * 3 / 4 - 12 : h / 4 - 12, angle);
            dot(p, s, a);
            dot(p, s, b);
            break;
        }
        case dsSwitch2:
            paintBoatSwitch(p, s);
            break;
        case dsArrow:
            paintArrow(p, s);
            break;
        case dsInductance:
            paintCoil(p, s);
            break;
        case dsResistance:
        case dsCapacitance:
        case dsDiode:
            paintTwoTerminal(p, s);
            break;
        case dsTriangle:
            paintPolygonWithLabels(p, s, QPolygon({{w / 2, 1}, {w - 1, h - 1}, {1, h - 1}}),
                                   {{w / 2 - 4, h / 3}, {w * 2 / 3, h - 16}, {4, h - 16}});
            break;
        case dsDiamond:
            paintPolygonWithLabels(
                p, s, QPolygon({{w / 2, 1}, {w - 1, h / 2}, {w / 2, h - 1}, {1, h / 2}}),
                {{w / 2 - 4, 2},
                 {w * 3 / 4, h / 2 - 6},
                 {w / 2 - 4, h - 14},
                 {2, h / 2 - 6},
                 {w / 2 - 4, h / 2 - 6}});
            break;
        case dsCircle:
            p.drawEllipse(QRect(1, 1, w - 3, h - 3));
            DrawShapeFittedText(p, s.font, s.caption, {3, 2, w - 2, h - 2}, s.textAlign,
                                s.orgFontSize);
            break;
        case dsRectangle:
            paintRectangle(p, s);
            break;
        case dsClock:
            paintDial(p, s, false);
            break;
        case dsCompass:
            paintDial(p, s, true);
            break;
        case dsHandwheel:
            paintHandwheel(p, s);
            break;
        case dsMultiLine:
            paintMultiLine(p, s);
            break;
        case dsTable:
            paintTable(p, s);
            break;
        case dsGround:
            for (const ShapeSegment& seg : GroundSegments(w, h)) p.drawLine(seg.from, seg.to);
            break;
        case dsLight: {
            p.save();
            QPen pen(inverse(s.colour), s.penWidth);
            p.setPen(pen);
            p.setBrush(ToQColor(s.colour));
            const int in = s.penWidth / 2;
            p.drawEllipse(QRect(in, in, w - 2 * in - 1, h - 2 * in - 1));
            p.restore();
            captionLines(p, s);
            break;
        }
        case dsHeightMeter:
            paintHeightMeter(p, s);
            break;
        case dsParallelogram:
        case dsElectroValve:
        case dsMotorValve:
        case dsDynatron:
        case dsSinWave:
        case dsCosWave:
        case dsSquaWave:
        case dsTriMotor:
        case daAcLink:
        case dsBattery:
            break;
    }
}

}  // namespace pelvano::gui
