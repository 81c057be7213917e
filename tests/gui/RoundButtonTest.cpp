#include <gtest/gtest.h>

#include <QWidget>

#include "MouseEvents.h"
#include "gui/controls/MyRoundButton.h"

namespace pelvano::gui {
namespace {

using namespace testing;

int green(const QImage& img, int x, int y) {
    return qGreen(img.pixel(x, y));
}

RoundButtonLook flatGreen19() {
    RoundButtonLook look;
    look.width = look.height = 19;
    look.BevelOuter = hbNone;
    look.FaceColor = core::clGreen;
    return look;
}

TEST(RoundButtonShading, RingApexAndSlopes) {
    EXPECT_EQ(RingGrey(0, 0, true), 202);
    EXPECT_EQ(RingGrey(0, 0, false), 202);
    // Raised rings are bright at the upper left and dark at the lower right; lowered the reverse.
    EXPECT_GT(RingGrey(-5, -5, true), 202);
    EXPECT_LT(RingGrey(5, 5, true), 128);
    EXPECT_EQ(RingGrey(-5, -5, true), RingGrey(5, 5, false));
    EXPECT_EQ(ShadeComponent(128, 0.5), 192);
    EXPECT_EQ(ShadeComponent(200, 0.5), 255);
    EXPECT_EQ(ShadeComponent(100, -2), 0);
    EXPECT_EQ(ShadeComponent(0, 0.9), 0);
}

TEST(RoundButtonShading, FaceIsADomeLitFromTheUpperLeft) {
    const RoundButtonImages img = RenderRoundButton(flatGreen19());
    ASSERT_FALSE(img.up.isNull());
    EXPECT_GT(green(img.up, 5, 5), 128);
    EXPECT_LT(green(img.up, 13, 13), 128);
    EXPECT_LT(green(img.down, 5, 5), 128);
    EXPECT_GT(green(img.down, 13, 13), 128);
    // The down face is the up face's shading inverted, pixel by pixel; the brightest point moves
    // from the upper left to the lower right.
    QPoint brightestUp(9, 9);
    QPoint brightestDown(9, 9);
    for (int y = 0; y < 19; ++y) {
        for (int x = 0; x < 19; ++x) {
            if ((img.mask.pixel(x, y) & 0xFFFFFF) != 0) continue;
            const int u = green(img.up, x, y);
            const int d = green(img.down, x, y);
            if (u > 0 && u < 255 && d > 0 && d < 255) {
                EXPECT_EQ(u + d, 256) << x << "," << y;
            }
            if (u > green(img.up, brightestUp.x(), brightestUp.y())) brightestUp = {x, y};
            if (d > green(img.down, brightestDown.x(), brightestDown.y())) brightestDown = {x, y};
        }
    }
    EXPECT_LT(brightestUp.x(), 9);
    EXPECT_LT(brightestUp.y(), 9);
    EXPECT_GT(brightestDown.x(), 9);
    EXPECT_GT(brightestDown.y(), 9);
    for (int y = 2; y < 17; ++y) {
        for (int x = 2; x < 17; ++x) {
            if ((img.mask.pixel(x, y) & 0xFFFFFF) != 0) continue;
            EXPECT_EQ(qRed(img.up.pixel(x, y)), 0);
            EXPECT_EQ(qBlue(img.down.pixel(x, y)), 0);
        }
    }
}

TEST(RoundButtonShading, NoAttenuationGivesTheFlatFaceColour) {
    RoundButtonLook look = flatGreen19();
    look.AttenControl = 0;
    const RoundButtonImages img = RenderRoundButton(look);
    for (int y = 3; y < 16; ++y)
        for (int x = 3; x < 16; ++x)
            if ((img.mask.pixel(x, y) & 0xFFFFFF) == 0) {
                EXPECT_EQ(img.up.pixel(x, y) & 0xFFFFFF, 0x008000u) << x << "," << y;
                EXPECT_EQ(img.down.pixel(x, y) & 0xFFFFFF, 0x008000u);
            }
}

TEST(RoundButtonShading, SingleBorderRunsAlongTheOuterEdgeWithoutBevels) {
    RoundButtonLook look = flatGreen19();
    look.BorderStyle = bsSingle;
    look.BorderColor = core::clRed;
    const RoundButtonImages img = RenderRoundButton(look);
    EXPECT_EQ(img.up.pixel(9, 0) & 0xFFFFFF, 0xFF0000u);  // top of the ellipse, red
    EXPECT_EQ(img.up.pixel(0, 9) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.down.pixel(18, 9) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(qGreen(img.up.pixel(9, 1)) > 0, true);  // the face reaches the border
}

TEST(RoundButtonShading, BevelRingSitsOutsideTheFace) {
    RoundButtonLook look;
    look.width = look.height = 25;
    look.BevelOuter = hbRaised;
    look.BevelWidth = 2;
    look.FaceColor = 0x0000C0;
    const RoundButtonImages img = RenderRoundButton(look);
    const QRgb ringTopLeft = img.up.pixel(4, 4);        // on the ring's upper-left arc
    EXPECT_EQ(qRed(ringTopLeft), qGreen(ringTopLeft));  // grey
    EXPECT_GT(qRed(ringTopLeft), 202);
    EXPECT_EQ(img.up.pixel(4, 4), img.down.pixel(4, 4));  // rings do not change when pressed
    EXPECT_LT(qRed(img.up.pixel(20, 20)), 128);           // dark at the lower right
    EXPECT_GT(qRed(img.up.pixel(12, 12)), 0);             // the face inside is red
    EXPECT_EQ(qGreen(img.up.pixel(12, 12)), 0);
}

TEST(RoundButtonShading, TinyButtonsRenderNothing) {
    RoundButtonLook look;
    look.width = 1;
    EXPECT_TRUE(RenderRoundButton(look).mask.isNull());
}

TEST(RoundButtonShading, GlyphCellsAndTransparentKey) {
    EXPECT_EQ(RoundButtonGlyphCells(QImage(60, 20, QImage::Format_RGB32)), 3);
    EXPECT_EQ(RoundButtonGlyphCells(QImage(50, 20, QImage::Format_RGB32)), 1);
    QImage glyph(9, 9, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixel(4, 4, qRgb(0, 0, 255));
    RoundButtonLook look = flatGreen19();
    look.glyph = glyph;
    look.GlyphShaded = false;
    look.FaceShaded = false;
    const RoundButtonImages img = RenderRoundButton(look);
    // Centred 1:1: glyph (4, 4) lands at the face centre, its white key colour shows the face.
    EXPECT_EQ(img.up.pixel(9, 9) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.up.pixel(8, 8) & 0xFFFFFF, 0x008000u);
}

TEST(RoundButtonWidget, RendersOnlyWhenTheLookChanges) {
    TMyRoundButton b;
    const int before = b.RenderCount();
    b.SetFaceColor(b.FaceColor());
    b.SetBevelWidth(0);
    b.SetGlyphIndex(2);  // beyond NumGlyphs
    EXPECT_EQ(b.RenderCount(), before);
    b.SetFaceColor(core::clGreen);
    EXPECT_EQ(b.RenderCount(), before + 1);
    b.setEnabled(false);
    EXPECT_EQ(b.RenderCount(), before + 1);  // enabling alone does not render
    b.SetGlyph(QImage(60, 20, QImage::Format_RGB32));
    EXPECT_EQ(b.NumGlyphs(), 3);
    EXPECT_EQ(b.GlyphIndex(), 1);
}

struct RoundButtonEvents : ::testing::Test {
    QWidget parent;
    TMyRoundButton* a = new TMyRoundButton(&parent);
    TMyRoundButton* b = new TMyRoundButton(&parent);
    int clicks = 0;
    int downs = 0;
    void SetUp() override {
        for (TMyRoundButton* x : {a, b}) {
            x->resize(25, 25);
            x->OnClick = [this](TMyRoundButton*) { ++clicks; };
            x->OnMouseDown = [this](TMyRoundButton*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                    int) { ++downs; };
        }
    }
};

TEST_F(RoundButtonEvents, PressOutsideTheEllipseIsIgnored) {
    press(a, {1, 1});
    release(a, {1, 1});
    EXPECT_EQ(downs, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(a->Down());
}

TEST_F(RoundButtonEvents, PressSlideOffReleaseDoesNotClick) {
    press(a, {12, 12});
    EXPECT_TRUE(a->Down());
    moveTo(a, {40, 40});
    EXPECT_FALSE(a->Down());
    moveTo(a, {12, 12});
    EXPECT_TRUE(a->Down());
    moveTo(a, {40, 40});
    release(a, {40, 40});
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(clicks, 0);
    press(a, {12, 12});
    release(a, {12, 12});
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(a->Down());  // a push button pops up again
}

TEST_F(RoundButtonEvents, GroupButtonsLatchAndAllowAllUp) {
    a->GroupIndex = b->GroupIndex = 1;
    a->SetDown(true);
    press(b, {12, 12});
    release(b, {12, 12});
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    press(b, {12, 12});
    release(b, {12, 12});
    EXPECT_TRUE(b->Down());  // the last down button stays down
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());  // written into the whole group
    press(b, {12, 12});
    release(b, {12, 12});
    EXPECT_FALSE(b->Down());
}

TEST_F(RoundButtonEvents, AGroupIsEveryButtonOfTheWindowWhateverItsPanel) {
    // A third button of the group on a panel of the same window; a fourth in another window.
    auto* panel = new QWidget(&parent);
    auto* c = new TMyRoundButton(panel);
    QWidget otherWindow;
    auto* d = new TMyRoundButton(&otherWindow);
    for (TMyRoundButton* x : {a, c, d}) {
        x->resize(25, 25);
        x->GroupIndex = 1;
    }
    c->SetDown(true);
    d->SetDown(true);
    press(a, {12, 12});
    release(a, {12, 12});
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(c->Down());
    EXPECT_TRUE(d->Down());
    c->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());
    EXPECT_FALSE(d->AllowAllUp());
}

TEST_F(RoundButtonEvents, DoubleClickFiresOnDblClick) {
    int doubles = 0;
    a->OnDblClick = [&](TMyRoundButton*) { ++doubles; };
    press(a, {12, 12});
    release(a, {12, 12});
    doubleClick(a, {12, 12});
    release(a, {12, 12});
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace pelvano::gui
