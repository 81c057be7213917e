#pragma once
// The arithmetic of the diagram shape: kinds and their names, text bands, the level band, the
// line positions of the multi-line, table, ground and arrow kinds, and the editing handles.
// Plain functions; any thread.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

enum TDrawShape {
    dsText,
    dsTriLine,
    dsRelay,
    dsLine,
    dsSwitch1OFF,
    dsSwitch1ON,
    dsSwitch2,
    dsArrow,
    dsInductance,
    dsResistance,
    dsCapacitance,
    dsDiode,
    dsTriangle,
    dsParallelogram,
    dsDiamond,
    dsCircle,
    dsRectangle,
    dsClock,
    dsCompass,
    dsHandwheel,
    dsMultiLine,
    dsTable,
    dsElectroValve,
    dsMotorValve,
    dsDynatron,
    dsGround,
    dsSinWave,
    dsCosWave,
    dsSquaWave,
    dsTriMotor,
    daAcLink,
    dsLight,
    dsBattery,
    dsMultText,
    dsHeightMeter
};
constexpr int kShapeKindCount = 35;
enum TDrawDirection { ddUp, ddDown, ddLeft, ddRight };
enum TShapeTextAlign { taLeft, taCenter, taRight };

// The display names, one per kind in enumeration order.
const QStringList& ShapeDisplayNames();

// Comma-separated parts of a caption: none for an empty caption.
QStringList CaptionParts(const QString& caption);
// The boxes the text kinds fit their lines into (one box for one part or none).
std::vector<Edges> MultTextBoxes(const QString& caption, int w, int h);
// The shaded level band of dsRectangle; empty when the caption's value is 0 or not a number.
Edges RectangleLevelBand(const QString& caption, TDrawDirection d, int w, int h, int penWidth);
// Positions across the control of the lines of dsMultiLine.
std::vector<int> MultiLinePositions(int frameWidth, int extent, int penWidth);
// Horizontal and vertical line counts of dsTable from "rows,columns" (each at least 2).
QPoint TableLineCounts(const QString& caption);
// count lines spread evenly between the pen's half-width margins of extent.
std::vector<int> TableLinePositions(int count, int extent, int penWidth);

struct ShapeSegment {
    QPoint from;
    QPoint to;
};
std::vector<ShapeSegment> GroundSegments(int w, int h);
// The arrow's outline (seven corners) pointing in direction d.
std::vector<QPoint> ArrowOutline(TDrawDirection d, int w, int h, int penWidth);

// Handles 1…8: top-left, top, top-right, left, right, bottom-left, bottom, bottom-right.
std::array<Edges, 8> HandleRects(int w, int h);
// The first handle under (x, y), 0 for none.
int HandleAt(int w, int h, int x, int y);

struct HandleResize {
    QRect geometry;
    bool atMinimum = false;  // the step stopped at 8 pixels
};
// Resizes geometry by the pointer's movement from handle, the opposite side staying put.
HandleResize ResizeFromHandle(QRect geometry, int handle, int dx, int dy);

}  // namespace pelvano::gui
