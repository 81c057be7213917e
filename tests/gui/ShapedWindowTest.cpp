#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <vector>

#include "MouseEvents.h"
#include "gui/controls/FrmNewtmpl.h"
#include "gui/controls/MyNewFrmRgn.h"
#include "gui/controls/MyPanel.h"
#include "gui/controls/MyRgnFrm.h"
#include "gui/controls/PictureShape.h"

namespace pelvano::gui {
namespace {

using namespace testing;

QImage picture(std::initializer_list<QRgb> row) {
    QImage img(static_cast<int>(row.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb c : row) img.setPixel(x++, 0, c);
    return img;
}

TEST(PictureShapeTest, RunsOfOpaquePixels) {
    const QImage wbb = picture({0xFFFFFFFF, 0xFF000000, 0xFF000000});
    EXPECT_EQ(ShapeRectangles(wbb, core::clWhite), (std::vector<Edges>{{1, 0, 3, 1}}));
    const QImage gaps = picture({0xFF000000, 0xFFFFFFFF, 0xFF102030, 0xFF102030, 0xFFFFFFFF});
    EXPECT_EQ(ShapeRectangles(gaps, core::clWhite),
              (std::vector<Edges>{{0, 0, 1, 1}, {2, 0, 4, 1}}));
    EXPECT_TRUE(ShapeRectangles(picture({0xFFFFFFFF, 0xFFFFFFFF}), core::clWhite).empty());
    // A system colour matches no pixel: the whole row stays.
    EXPECT_EQ(ShapeRectangles(wbb, clBtnFace), (std::vector<Edges>{{0, 0, 3, 1}}));
}

TEST(PictureShapeTest, LastColumnAloneIsOpaque) {
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::blue);
    for (int y = 0; y < 3; ++y) img.setPixel(3, y, qRgb(1, 2, 3));
    const auto rects = ShapeRectangles(img, core::clBlue);
    ASSERT_EQ(rects.size(), 3u);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(rects[static_cast<size_t>(y)], (Edges{3, y, 4, y + 1}));
    EXPECT_EQ(ShapeRegion(img, core::clBlue).boundingRect(), QRect(3, 0, 1, 3));
}

TEST(RgnFrmTest, ShapesThePanelAndRebuildsOnEveryColourSet) {
    QWidget window;
    auto* panel = new QWidget(&window);
    panel->move(7, 9);
    auto* label = new QLabel(&window);
    label->setPixmap(QPixmap::fromImage(picture({0xFFFFFFFF, 0xFF000000, 0xFF000000})));
    label->resize(3, 1);
    TMyRgnFrm rgn;
    rgn.SetTransparentColor(core::clWhite);
    EXPECT_EQ(rgn.RebuildCount(), 0);  // nothing to shape yet
    rgn.SetPanel(panel);
    EXPECT_EQ(rgn.X(), 7);
    EXPECT_EQ(rgn.Y(), 9);
    rgn.Setimg(label);
    EXPECT_EQ(panel->size(), QSize(3, 1));
    rgn.SetTransparentColor(core::clWhite);
    rgn.SetTransparentColor(core::clWhite);
    EXPECT_EQ(rgn.RebuildCount(), 2);
    EXPECT_EQ(panel->mask(), QRegion(1, 0, 2, 1));
    rgn.SetFileName("  no such picture.bmp ");
    EXPECT_EQ(rgn.FileName(), "no such picture.bmp");
    EXPECT_EQ(rgn.RebuildCount(), 2);
}

TEST(FrmNewtmplTest, DragMovesByThePointerAndReports) {
    TFrmNewtmpl form;
    form.move(100, 100);
    std::vector<QPoint> moving;
    QPoint after;
    form.OnMoving = [&](TFrmNewtmpl*, Qt::KeyboardModifiers, int x, int y) {
        moving.emplace_back(x, y);
    };
    form.OnAfterMove = [&](int x, int y) { after = {x, y}; };
    form.FormMouseDown({200, 200});
    form.FormMouseMove({204, 202}, Qt::NoModifier);
    form.FormMouseMove({210, 205}, Qt::NoModifier);
    form.FormMouseUp();
    EXPECT_EQ(form.pos(), QPoint(110, 105));
    EXPECT_EQ(moving, (std::vector<QPoint>{{104, 102}, {110, 105}}));
    EXPECT_EQ(after, QPoint(110, 105));

    form.Movable = false;
    moving.clear();
    after = {};
    form.FormMouseDown({200, 200});
    form.FormMouseMove({230, 230}, Qt::NoModifier);
    form.FormMouseUp();
    EXPECT_EQ(form.pos(), QPoint(110, 105));
    EXPECT_TRUE(moving.empty());
    EXPECT_EQ(after, QPoint());
}

TEST(FrmNewtmplTest, TheDefaultPictureShapesTheWindow) {
    TMyNewFrmRgn owner;
    EXPECT_FALSE(owner.Visible());
    EXPECT_EQ(owner.PosX(), 20);
    EXPECT_TRUE(owner.Movable());
    TFrmNewtmpl* form = owner.From();
    EXPECT_EQ(form->Image1()->size(), QSize(199, 103));
    EXPECT_FALSE(form->Shape().isEmpty());
    EXPECT_FALSE(form->Shape().contains(QPoint(0, 0)));  // a rounded corner is cut away
    EXPECT_TRUE(form->Shape().contains(QPoint(100, 50)));
    int afterMoves = 0;
    owner.OnAfterMove = [&](int, int) { ++afterMoves; };
    form->FormMouseDown({0, 0});
    form->FormMouseUp();
    EXPECT_EQ(afterMoves, 1);
}

TEST(PanelTest, NormalLookHasAOnePixelRaisedFrame) {
    TMyPanel panel;
    panel.resize(40, 20);
    panel.SetPanelShape(psNormal);
    panel.SetColorHighlight(core::clWhite);
    panel.SetColorShadow(core::clGray);
    panel.SetColor(core::clSilver);
    const QImage img = panel.Render();
    EXPECT_EQ(img.pixel(10, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(0, 10) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(10, 19) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(img.pixel(39, 10) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(img.pixel(10, 1) & 0xFFFFFF, 0xC0C0C0u);
}

TEST(PanelTest, ShadedFramesDarkenTowardsTheOuterEdge) {
    EXPECT_EQ(PanelFrameDepth(bvRaised, bvNone, 1), 2);
    EXPECT_EQ(PanelFrameDepth(bvRaised, bvLowered, 3), 6);
    const auto up = PanelFrameSegments(ps3DButtonUp, 40, 20, 2, 0xC8C8C8, 0);
    ASSERT_EQ(up.size(), 12u);  // three rectangles
    EXPECT_EQ(up.front().colour, core::ScaleColor(0xC8C8C8, 1.3));
    EXPECT_EQ(up.back().colour, 0xC8C8C8u);
    const auto down = PanelFrameSegments(ps3DButtonDown, 40, 20, 2, 0xC8C8C8, 0);
    EXPECT_EQ(down.front().colour, 0xC8C8C8u);
    const auto panel = PanelFrameSegments(ps3DPanel, 40, 20, 2, 0xC8C8C8, 0x404040);
    EXPECT_EQ(panel.size(), 8u);
    EXPECT_EQ(panel[2].colour, 0x404040u);
}

}  // namespace
}  // namespace pelvano::gui
