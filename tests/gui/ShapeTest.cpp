#include <gtest/gtest.h>

#include <QWidget>

#include "MouseEvents.h"
#include "core/app/Encoding.h"
#include "gui/controls/MyShape.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {
namespace {

using namespace testing;

TEST(ShapeGeometryTest, ThirtyFiveDisplayNames) {
    ASSERT_EQ(ShapeDisplayNames().size(), kShapeKindCount);
    EXPECT_EQ(ShapeDisplayNames()[dsText], "文字");
    EXPECT_EQ(ShapeDisplayNames()[dsMultText], "多行文本");
    EXPECT_EQ(ShapeDisplayNames()[dsHeightMeter], "高度标签");
    EXPECT_EQ(ShapeDisplayNames()[daAcLink], "交流接线方式");
}

TEST(ShapeGeometryTest, MultTextBands) {
    const auto three = MultTextBoxes("a,b,c", 56, 60);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0], (Edges{1, -2, 59, 24}));
    EXPECT_EQ(three[1], (Edges{1, 18, 59, 44}));
    EXPECT_EQ(three[2].top - three[1].top, 20);
    EXPECT_EQ(MultTextBoxes("应 用", 56, 60), (std::vector<Edges>{{1, 1, 58, 59}}));
    EXPECT_EQ(MultTextBoxes("", 56, 60).size(), 1u);
    EXPECT_TRUE(CaptionParts("").isEmpty());
}

TEST(ShapeGeometryTest, RectangleLevelBand) {
    // Pen 3: f = 1; a full band of 64 − 9 = 55 pixels for ddUp.
    EXPECT_EQ(RectangleLevelBand("1.5", ddUp, 56, 64, 3), (Edges{5, 5, 52, 60}));
    EXPECT_EQ(RectangleLevelBand("abc", ddUp, 56, 64, 3), Edges{});
    EXPECT_EQ(RectangleLevelBand("0.5", ddRight, 56, 64, 3), (Edges{5, 5, 28, 60}));
    EXPECT_EQ(RectangleLevelBand("0.5", ddLeft, 56, 64, 3), (Edges{5, 5, 29, 60}));
    EXPECT_EQ(RectangleLevelBand("0.5", ddDown, 56, 64, 3), (Edges{5, 32, 52, 60}));
}

TEST(ShapeGeometryTest, LinesOfTheLineKinds) {
    EXPECT_EQ(MultiLinePositions(3, 56, 2), (std::vector<int>{0, 27, 54}));
    EXPECT_EQ(MultiLinePositions(0, 56, 2), (std::vector<int>{0}));
    EXPECT_EQ(TableLineCounts("3,4"), QPoint(3, 4));
    EXPECT_EQ(TableLineCounts("1,1"), QPoint(2, 2));
    EXPECT_EQ(TableLineCounts(""), QPoint(2, 2));
    EXPECT_EQ(TableLineCounts("99999999,x"), QPoint(1000, 2));
    EXPECT_EQ(TableLinePositions(3, 61, 2), (std::vector<int>{1, 30, 59}));
    const auto ground = GroundSegments(61, 61);
    ASSERT_EQ(ground.size(), 4u);
    EXPECT_EQ(ground[0].from, QPoint(30, 1));
    EXPECT_EQ(ground[0].to, QPoint(30, 30));
    EXPECT_EQ(ground[3].from, QPoint(21, 50));
    EXPECT_EQ(ground[3].to, QPoint(40, 50));
    const auto arrow = ArrowOutline(ddUp, 64, 80, 2);
    ASSERT_EQ(arrow.size(), 7u);
    EXPECT_EQ(arrow[3], QPoint(32, 2));  // the tip
    EXPECT_EQ(arrow[0], QPoint(24, 70));
    EXPECT_EQ(ArrowOutline(ddLeft, 80, 64, 2)[3], QPoint(2, 32));
}

TEST(ShapeGeometryTest, HandlesAndResizing) {
    EXPECT_EQ(HandleAt(56, 64, 1, 1), 1);
    EXPECT_EQ(HandleAt(56, 64, 28, 2), 2);
    EXPECT_EQ(HandleAt(56, 64, 54, 62), 8);
    EXPECT_EQ(HandleAt(56, 64, 28, 30), 0);
    const QRect g(100, 100, 56, 64);
    EXPECT_EQ(ResizeFromHandle(g, 8, 10, 5).geometry, QRect(100, 100, 66, 69));
    EXPECT_EQ(ResizeFromHandle(g, 1, 10, 5).geometry, QRect(110, 105, 46, 59));
    const HandleResize tooSmall = ResizeFromHandle(g, 4, 100, 0);
    EXPECT_EQ(tooSmall.geometry, QRect(148, 100, 8, 64));
    EXPECT_TRUE(tooSmall.atMinimum);
}

TEST(ShapeText, ShrinksToFitButNotBelowTwo) {
    core::FontRecord f;
    f.name = core::Utf8ToGbk("文泉驿微米黑");
    f.size = 30;
    const ShapeTextPlacement fitted =
        PlaceShapeText(f, "一段很长很长的文字", {0, 0, 40, 20}, taCenter, false);
    EXPECT_LT(fitted.size, 30);
    EXPECT_GE(fitted.size, 2);
    EXPECT_EQ(PlaceShapeText(f, "一段很长很长的文字", {0, 0, 4, 4}, taCenter, false).size, 2);
    EXPECT_EQ(PlaceShapeText(f, "一段很长很长的文字", {0, 0, 40, 20}, taCenter, true).size, 30);
    EXPECT_EQ(PlaceShapeText(f, "x", {10, 0, 200, 60}, taLeft, true).x, 12);
}

TEST(ShapeWidget, EmptyTextSwatchWithFrames) {
    QWidget parent;
    auto* swatch = new TMyShape(&parent);
    swatch->resize(30, 20);
    swatch->SetbkTransParent(false);
    swatch->SetColor(0x2040C0);
    swatch->SetShowFrame(true);
    QImage img = swatch->Render();
    EXPECT_EQ(img.pixel(15, 10) & 0xFFFFFF, 0xC04020u);
    EXPECT_EQ(img.pixel(15, 0) & 0xFFFFFF, 0xFFFFFFu);  // raised: white top
    EXPECT_EQ(img.pixel(15, 19) & 0xFFFFFF, 0x808080u);
    int downs = 0;
    int clicks = 0;
    swatch->OnMouseDown = [&](TMyShape*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        ++downs;
        img = swatch->Render();
    };
    swatch->OnClick = [&](TMyShape*) { ++clicks; };
    press(swatch, {5, 5});
    EXPECT_EQ(swatch->Look(), 2);
    img = swatch->Render();
    EXPECT_EQ(img.pixel(15, 0) & 0xFFFFFF, 0x808080u);  // sunken while pressed
    release(swatch, {5, 5});
    EXPECT_EQ(swatch->Look(), 0);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(ShapeWidget, EditingHandlesResizeTheControl) {
    QWidget parent;
    auto* s = new TMyShape(&parent);
    s->setGeometry(50, 50, 56, 64);
    s->SetEditting(true);
    s->CanZoom = true;
    moveTo(s, {52, 60}, Qt::NoButton);
    EXPECT_EQ(s->ActiveHandle(), 8);
    press(s, {52, 60});
    moveTo(s, {62, 65});
    EXPECT_EQ(s->geometry(), QRect(50, 50, 66, 69));
    release(s, {62, 65});
    const QImage img = s->Render();
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);  // a red handle outline in the corner
}

TEST(ShapeWidget, MovableShapeFollowsThePointer) {
    QWidget parent;
    auto* s = new TMyShape(&parent);
    s->move(10, 10);
    s->Movable = true;
    press(s, {5, 5});
    moveTo(s, {9, 12});
    EXPECT_EQ(s->pos(), QPoint(14, 17));
}

TEST(ShapeWidget, AClickCountsWhenThePointerSlidesOffAndBackBeforeTheRelease) {
    QWidget parent;
    auto* s = new TMyShape(&parent);
    s->resize(40, 30);
    int clicks = 0;
    s->OnClick = [&](TMyShape*) { ++clicks; };
    press(s, {5, 5});
    moveTo(s, {60, 5});  // off: the pressed look ends
    EXPECT_EQ(s->Look(), 0);
    moveTo(s, {6, 6});
    release(s, {6, 6});
    EXPECT_EQ(clicks, 1);
    press(s, {5, 5});
    moveTo(s, {60, 5});
    release(s, {60, 5});  // released outside: no click
    EXPECT_EQ(clicks, 1);
    press(s, {5, 5}, Qt::RightButton);
    release(s, {5, 5}, Qt::RightButton);
    EXPECT_EQ(clicks, 1);
}

TEST(EffectTextTest, FieldsAndDefaults) {
    const EffectText d = ParseEffectText("");
    EXPECT_EQ(d.x, 200);
    EXPECT_EQ(d.y, 400);
    EXPECT_EQ(d.outlineWidth, 1);
    EXPECT_EQ(d.font.size, 32);
    EXPECT_EQ(d.outline, core::clWhite);
    const std::string font = core::Utf8ToGbk("宋体") + ";12;0;0;255;fsBold,;";
    const EffectText s = ParseEffectText("Hi~~10~~20~~-900~~" + font + "~~0;0;0;~~0~~2");
    EXPECT_EQ(s.text, "Hi");
    EXPECT_EQ(s.angle, -900);
    EXPECT_EQ(s.font.size, 12);
    EXPECT_EQ(s.font.color, core::clBlue);
    EXPECT_TRUE(s.font.bold);
    EXPECT_EQ(s.outline, core::clBlack);
    EXPECT_EQ(s.outlineWidth, 0);
    EXPECT_EQ(s.depth, 2);
}

TEST(EffectTextTest, RingsDarkenOutwardsAroundADiamond) {
    EXPECT_EQ(RingColour(0xFFFFFF, 1), 0xFFFFFFu);
    EXPECT_EQ(RingColour(0xFFFFFF, 2), 0x555555u);
    EXPECT_EQ(RingColour(0xFFFFFF, 7), 0u);
    EXPECT_EQ(DiamondPoints(0, 0, 1), (std::vector<QPoint>{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}));
    EXPECT_EQ(DiamondPoints(5, 5, 3).size(), 12u);
}

TEST(EffectTextTest, MostNegativeDepthDrawsNothing) {
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    DrawEffectText(p, "Wx~~5~~5~~0~~;12;255;255;255;;~~255;255;255~~1~~-2147483648", {});
    p.end();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0u);
}

TEST(DrawingHelpers, GradientBandDarkensFromTheMiddle) {
    QImage img(10, 11, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    DrawGradientBand(p, {0, 0, 10, 11}, 0x0000C8);
    p.end();
    EXPECT_EQ(qRed(img.pixel(3, 5)), 200);
    EXPECT_EQ(qRed(img.pixel(3, 4)), static_cast<int>(200 / 1.03));
    EXPECT_EQ(qRed(img.pixel(3, 0)), static_cast<int>(200 / 1.15));
    EXPECT_EQ(qRed(img.pixel(3, 10)), static_cast<int>(200 / 1.15));
    EXPECT_EQ(qRed(img.pixel(9, 5)), 200);  // the right edge is drawn up to right − 1
}

TEST(DrawingHelpers, RidgeLineKinds) {
    const auto one = RidgeLineSegments(10, 20, 30, 1, 0x0000C8);
    ASSERT_EQ(one.size(), 5u);
    EXPECT_EQ(one[0].y, 18);
    EXPECT_EQ(one[0].fromX, 12);
    EXPECT_EQ(one[0].toX, 38);
    EXPECT_EQ(one[4].fromX, 8);
    EXPECT_EQ(one[2].colour, 0x0000C8u);
    EXPECT_EQ(one[0].colour, core::ScaleColor(0x0000C8, 2.3));
    EXPECT_EQ(RidgeLineSegments(10, 20, 30, 3, 0)[0].fromX, 8);
    EXPECT_EQ(RidgeLineSegments(10, 20, 30, 2, 0)[0].fromX, 10);
}

TEST(DrawingHelpers, FittedTextShrinksTheCanvasFont) {
    QImage img(80, 20, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    core::FontRecord f;
    f.name = core::Utf8ToGbk("文泉驿微米黑");
    f.size = 40;
    f.color = core::clWhite;
    DrawFittedText(p, f, core::Utf8ToGbk("自动播出"), 1, 1, core::clRed, {0, 0, 80, 20});
    p.end();
    EXPECT_LT(f.size, 40);
    EXPECT_GE(f.size, 2);
    bool inked = false;
    for (int y = 0; y < 20 && !inked; ++y)
        for (int x = 0; x < 80; ++x) inked = inked || (img.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_TRUE(inked);
}

TEST(QtAdaptersTest, ColoursFontsAndTexts) {
    EXPECT_EQ(ToQColor(0x0080FF), QColor(255, 128, 0));
    EXPECT_EQ(FromQColor(QColor(255, 128, 0)), 0x0080FFu);
    EXPECT_EQ(ToQColor(clBtnFace),
              QApplication::palette().color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ResolveColor(clBtnFace), FromQColor(QApplication::palette().color(QPalette::Button)));
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    const std::string gbk = core::Utf8ToGbk("宋体");
    EXPECT_EQ(GbkToQString(gbk), "宋体");
    EXPECT_EQ(QStringToGbk("宋体"), gbk);
    core::FontRecord f;
    f.name = gbk;
    f.size = 12;
    f.bold = true;
    f.italic = true;
    const QFont q = ToQFont(f);
    EXPECT_EQ(q.family(), "宋体");
    EXPECT_EQ(q.pointSize(), 12);
    const core::FontRecord back = FromQFont(q, core::clRed);
    EXPECT_EQ(back.name, gbk);
    EXPECT_TRUE(back.bold && back.italic && !back.underline);
    EXPECT_EQ(back.color, core::clRed);
}

}  // namespace
}  // namespace pelvano::gui
