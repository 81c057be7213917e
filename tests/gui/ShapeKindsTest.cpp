#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "core/app/Encoding.h"
#include "gui/controls/MyShape.h"
#include "gui/controls/PictureShape.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {
namespace {

constexpr QRgb kInk = 0x0000FF;  // the shapes are drawn in red (TColor 0x0000FF)

int inkPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) != 0) ++n;
    return n;
}

QImage render(TDrawShape kind, const QString& caption, QSize size = {64, 64}, int pen = 1) {
    TMyShape s;
    s.resize(size);
    s.SetDrawShape(kind);
    s.SetCaption(caption);
    s.SetColor(kInk);
    s.SetPenWidth(pen);
    return s.Render();
}

bool isInk(QRgb c) {
    return qAlpha(c) == 255 && qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

TEST(ShapeKinds, EveryDrawingKindShowsSomethingAndTheOthersNothing) {
    const std::vector<TDrawShape> blank = {
        dsParallelogram, dsElectroValve, dsMotorValve, dsDynatron, dsSinWave,
        dsCosWave,       dsSquaWave,     dsTriMotor,   daAcLink,   dsBattery};
    for (int k = 0; k < kShapeKindCount; ++k) {
        const auto kind = static_cast<TDrawShape>(k);
        const bool drawsNothing = std::find(blank.begin(), blank.end(), kind) != blank.end();
        const int ink = inkPixels(render(kind, "X"));
        if (drawsNothing) {
            EXPECT_EQ(ink, 0) << ShapeDisplayNames()[k].toStdString();
        } else {
            EXPECT_GT(ink, 0) << ShapeDisplayNames()[k].toStdString();
        }
    }
}

// The positions of ink along a scan line through the image.
std::vector<int> inkRuns(const QImage& img, bool alongX, int at) {
    std::vector<int> starts;
    const int n = alongX ? img.width() : img.height();
    bool inside = false;
    for (int i = 0; i < n; ++i) {
        const bool ink = isInk(alongX ? img.pixel(i, at) : img.pixel(at, i));
        if (ink && !inside) starts.push_back(i);
        inside = ink;
    }
    return starts;
}

TEST(ShapeKinds, TableDrawsItsLineCounts) {
    const QImage t = render(dsTable, "3,4", {61, 61});
    EXPECT_EQ(inkRuns(t, false, 15).size(), 3u);  // horizontal lines met going down
    EXPECT_EQ(inkRuns(t, true, 15).size(), 4u);   // vertical lines met going across
    const QImage least = render(dsTable, "1,1", {61, 61});
    EXPECT_EQ(inkRuns(least, false, 15).size(), 2u);
    EXPECT_EQ(inkRuns(least, true, 15).size(), 2u);
}

TEST(ShapeKinds, RectangleLevelFillsByItsCaption) {
    TMyShape s;
    s.resize(40, 40);
    s.SetDrawShape(dsRectangle);
    s.SetDrawDirection(ddUp);
    s.SetColor(0x00C800);  // green: the band's middle line is the colour itself
    s.SetCaption("1.5");
    QImage full = s.Render();
    EXPECT_EQ(qAlpha(full.pixel(20, 8)), 255);
    EXPECT_EQ(qAlpha(full.pixel(20, 34)), 255);
    s.SetCaption("abc");
    const QImage empty = s.Render();
    EXPECT_EQ(qAlpha(empty.pixel(20, 20)), 0);
    s.SetCaption("0.5");
    const QImage half = s.Render();
    EXPECT_EQ(qAlpha(half.pixel(20, 30)), 255);
    EXPECT_EQ(qAlpha(half.pixel(20, 10)), 0);
}

TEST(ShapeKinds, GroundAndMultiLineGeometry) {
    const QImage g = render(dsGround, "", {61, 61});
    EXPECT_TRUE(isInk(g.pixel(30, 15)));   // the stem
    EXPECT_TRUE(isInk(g.pixel(5, 30)));    // the widest bar
    EXPECT_FALSE(isInk(g.pixel(15, 50)));  // the narrowest bar stops short
    TMyShape m;
    m.resize(56, 40);
    m.SetDrawShape(dsMultiLine);
    m.SetDrawDirection(ddUp);
    m.SetFrameWidth(3);
    m.SetColor(kInk);
    m.SetPenWidth(1);
    EXPECT_EQ(inkRuns(m.Render(), true, 3), (std::vector<int>{0, 27, 55}));
}

TEST(ShapeKinds, TriLineMakesRoomForItsFork) {
    TMyShape s;
    s.resize(20, 20);
    s.SetDrawDirection(ddUp);
    s.SetDrawShape(dsTriLine);
    EXPECT_EQ(s.size(), QSize(20, 40));
    s.SetDrawDirection(ddLeft);
    EXPECT_EQ(s.size(), QSize(80, 40));
}

TEST(ShapeKinds, FontMirrorsFollowEachOther) {
    TMyShape s;
    EXPECT_EQ(s.FontName(), "宋体");
    EXPECT_EQ(s.FontColor(), core::clWhite);
    s.SetFontSize(14);
    s.SetFontColor(core::clRed);
    EXPECT_EQ(s.Font().size, 14);
    EXPECT_EQ(s.Font().color, core::clRed);
    core::FontRecord f;
    f.name = core::Utf8ToGbk("黑体");
    f.size = 22;
    s.SetFont(f);
    EXPECT_EQ(s.FontName(), "黑体");
    EXPECT_EQ(s.FontSize(), 22);
}

TEST(PictureShapeTest, RandomPicturesCoverExactlyTheirOpaquePixels) {
    QRandomGenerator rng(7);
    for (int round = 0; round < 20; ++round) {
        const int w = 1 + rng.bounded(40);
        const int h = 1 + rng.bounded(20);
        QImage img(w, h, QImage::Format_RGB32);
        int opaque = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool clear = rng.bounded(3) == 0;
                img.setPixel(x, y, clear ? qRgb(255, 255, 255) : qRgb(rng.bounded(255), 0, 9));
                opaque += clear ? 0 : 1;
            }
        }
        int covered = 0;
        for (const Edges& r : ShapeRectangles(img, core::clWhite)) {
            covered += r.width() * r.height();
            EXPECT_EQ(r.height(), 1);
        }
        EXPECT_EQ(covered, opaque);
        EXPECT_EQ(ShapeRegion(img, core::clWhite).isEmpty(), opaque == 0);
    }
}

TEST(EffectTextTest, GarbageDescriptionsDrawSafely) {
    QImage img(40, 20, QImage::Format_RGB32);
    QPainter p(&img);
    QRandomGenerator rng(11);
    for (int i = 0; i < 20; ++i) {
        std::string text;
        const int len = rng.bounded(80);
        for (int k = 0; k < len; ++k) text += static_cast<char>(rng.bounded(256));
        DrawEffectText(p, text, {});
    }
    // Huge widths and depths are cut to bounds instead of stalling the painter.
    DrawEffectText(p, "x~~1~~1~~0~~;6;1;2;3;~~1;1;1~~2147483647~~2147483647", {});
    SUCCEED();
}

TEST(EffectTextTest, ExtrusionStepsTowardsTheDepth) {
    QImage img(80, 60, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    const std::string font = core::Utf8ToGbk("文泉驿微米黑") + ";14;255;255;255;;";
    DrawEffectText(p, "I~~10~~10~~0~~" + font + "~~0;0;0~~0~~20", {});
    p.end();
    // Copies down to (30, 30): ink below and right of the unextruded text cell.
    bool farInk = false;
    for (int y = 30; y < 60 && !farInk; ++y)
        for (int x = 30; x < 80; ++x) farInk = farInk || (img.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_TRUE(farInk);
}

}  // namespace
}  // namespace pelvano::gui
