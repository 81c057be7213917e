#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>

#include "gui/controls/MyProgressBarNew.h"
#include "gui/controls/MyRoundButton.h"
#include "gui/controls/TransparentButton.h"
#include "gui/controls/velTracker.h"

namespace pelvano::gui {
namespace {

QRgb rgb(TColor c) {
    return ToQColor(c).rgb() & 0xFFFFFF;
}

// The widget painted over a black background, as its parent would show it.
QImage paintedOverBlack(QWidget& w) {
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    w.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

void enter(QWidget& w) {
    QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&w, &ev);
}

TEST(TransButtonPaint, NoneStyleIsAnInvisibleHotArea) {
    TTransparentButton b;
    b.SetFrameStyle(fsNone);
    int clicks = 0;
    b.OnClick = [&](TransparentButtonBase*) { ++clicks; };
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(paintedOverBlack(b).pixel(x, y) & 0xFFFFFF, 0u);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&b, &press);
    QApplication::sendEvent(&b, &release);
    EXPECT_EQ(clicks, 1);
}

TEST(TransButtonPaint, ExplorerFrameAppearsOnHover) {
    TTransparentButton b;
    int enters = 0;
    b.OnMouseEnter = [&](TransparentButtonBase*) { ++enters; };
    EXPECT_EQ(paintedOverBlack(b).pixel(0, 10) & 0xFFFFFF, 0u);
    enter(b);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(b.Hover());
    const QImage hovered = paintedOverBlack(b);
    EXPECT_EQ(hovered.pixel(0, 10) & 0xFFFFFF, rgb(clBtnHighlight));
    EXPECT_EQ(hovered.pixel(39, 10) & 0xFFFFFF, rgb(clBtnShadow));
    b.SetDown(true);
    const QImage pressed = paintedOverBlack(b);
    EXPECT_EQ(pressed.pixel(0, 10) & 0xFFFFFF, rgb(clBtnShadow));
}

TEST(TransButtonPaint, OpaqueButtonsFillTheFace) {
    TMyTransBtn b;
    b.SetTransparent(false);
    b.SetFrameStyle(fsMono);
    b.SetCaption("");
    const QImage img = paintedOverBlack(b);
    EXPECT_EQ(img.pixel(20, 20) & 0xFFFFFF, rgb(clBtnFace));
    EXPECT_EQ(img.pixel(0, 20) & 0xFFFFFF, rgb(clBtnHighlight));
    EXPECT_EQ(img.pixel(39, 20) & 0xFFFFFF, rgb(cl3DDkShadow));
}

TEST(TransButtonPaint, IndentShadowOutlineHasTheBorderWidth) {
    TMyTransBtn b;
    b.SetFrameStyle(fsIndent);
    b.SetCaption("");
    b.SetBorderWidth(2);
    // The second ring of the shadow outline on (0, 0, 39, 39) is left by every later frame.
    const QImage img = paintedOverBlack(b);
    EXPECT_EQ(img.pixel(20, 37) & 0xFFFFFF, rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(37, 20) & 0xFFFFFF, rgb(clBtnShadow));
    b.SetBorderWidth(1);
    EXPECT_EQ(paintedOverBlack(b).pixel(20, 37) & 0xFFFFFF, 0u);
}

TEST(TransButtonPaint, GreyGlyphWhileAwayColouredWhenHovered) {
    TTransparentButton b;
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) glyph.setPixel(x, y, qRgb(200, 0, 0));
    b.SetGlyph(glyph);
    const QImage away = paintedOverBlack(b);
    const QRgb greyPixel = away.pixel(20, 20);
    EXPECT_EQ(qRed(greyPixel), qGreen(greyPixel));
    EXPECT_EQ(away.pixel(13, 13) & 0xFFFFFF, 0u);  // the white key stays out
    enter(b);
    EXPECT_EQ(paintedOverBlack(b).pixel(20, 20) & 0xFFFFFF, 0xC80000u);
}

TEST(ProgressBarPaint, LoweredBevelAndVerticalFill) {
    TMyProgressBarNew pb;
    pb.resize(20, 100);
    pb.SetShowPosText(false);
    pb.SetBarColorStyle(cs1Color);
    pb.SetDirection(pdBottomToTop);
    pb.SetBackgroundColor(core::clWhite);
    pb.SetPosition(50);
    const QImage img = pb.Render();
    EXPECT_EQ(img.pixel(10, 0) & 0xFFFFFF, rgb(clBtnShadow));      // lowered: dark top
    EXPECT_EQ(img.pixel(10, 99) & 0xFFFFFF, rgb(clBtnHighlight));  // light bottom
    EXPECT_EQ(img.pixel(10, 97) & 0xFFFFFF, 0x008000u);            // filled from the bottom
    EXPECT_EQ(img.pixel(10, 2) & 0xFFFFFF, 0xFFFFFFu);
    pb.SetMidPoint1(101);  // refused
    EXPECT_EQ(pb.MidPoint1(), 50);
}

TEST(ProgressBarPaint, TiledBitmapFill) {
    TMyProgressBarNew pb;
    pb.resize(40, 10);
    pb.SetBevelOuter(bvNone);
    pb.SetShowPosText(false);
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.fill(qRgb(10, 20, 30));
    tile.setPixel(0, 0, qRgb(250, 0, 0));
    pb.SetBarBitmap(tile);
    pb.SetUseBitmap(true);
    pb.SetPosition(100);
    const QImage img = pb.Render();
    EXPECT_EQ(img.pixel(4, 6) & 0xFFFFFF, 0xFA0000u);
    EXPECT_EQ(img.pixel(5, 6) & 0xFFFFFF, 0x0A141Eu);
}

TEST(TrackerPaint, TrackColourFollowsThePosition) {
    TvelTracker t;
    t.resize(100, 24);
    t.SetShowCaption(false);
    t.SetTrackColor(0x0000C8);
    t.SetTrackPositionColor(true);
    t.SetValue(100);
    QImage img = t.Render();
    EXPECT_EQ(img.pixel(30, 12) & 0xFFFFFF, 0xC80000u);
    t.SetValue(0);
    img = t.Render();
    EXPECT_EQ(img.pixel(60, 12) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(15, 12) & 0xFFFFFF, rgb(core::clSilver));  // the thumb at the start
    EXPECT_EQ(img.pixel(5, 4) & 0xFFFFFF, rgb(clBtnHighlight));    // its raised outline
}

TEST(TrackerPaint, VerticalDragFromTheTop) {
    TvelTracker t;
    t.resize(24, 100);
    t.SetOrientation(jtbVertical);
    std::vector<int> values;
    t.onChangedValue = [&](TvelTracker*, int v) { values.push_back(v); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(12, 13), QPointF(12, 13), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 500), QPointF(12, 500), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t, &move);
    EXPECT_EQ(values, (std::vector<int>{0, 100}));
}

TEST(RoundButtonLookTest, TransparentFaceKeepsTheCaptionOpaque) {
    RoundButtonLook look;
    look.width = look.height = 31;
    look.BevelOuter = hbNone;
    look.FaceTransparent = true;
    look.Caption = "W";
    look.font = QFont(QApplication::font().family(), 14);
    const RoundButtonImages img = RenderRoundButton(look);
    int opaque = 0;
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x)
            opaque += (img.mask.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    EXPECT_GT(opaque, 0);    // the caption stays
    EXPECT_LT(opaque, 400);  // the face is see-through
    EXPECT_EQ(img.mask.pixel(3, 15) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(RoundButtonLookTest, HitTestLeavesOutTheBevels) {
    RoundButtonLook look;
    look.width = look.height = 25;
    look.BevelOuter = hbLowered;
    look.BevelInner = hbRaised;
    look.BevelWidth = 2;
    EXPECT_TRUE(RoundButtonHit(look, 12, 12));
    EXPECT_TRUE(RoundButtonHit(look, 12, 5));
    EXPECT_FALSE(RoundButtonHit(look, 12, 3));  // on the rings
    look.BevelInner = hbNone;
    EXPECT_TRUE(RoundButtonHit(look, 12, 3));
}

TEST(RoundButtonLookTest, GlyphCellAndMapping) {
    QImage glyph(20, 10, QImage::Format_RGB32);  // two cells: red, then blue
    glyph.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) glyph.setPixel(x, y, qRgb(0, 0, 255));
    glyph.setPixel(0, 9, qRgb(1, 1, 1));  // the key colour: one corner pixel only
    RoundButtonLook look;
    look.width = look.height = 21;
    look.BevelOuter = hbNone;
    look.glyph = glyph;
    look.NumGlyphs = 2;
    look.GlyphShaded = false;
    look.GlyphIndex = 2;
    EXPECT_EQ(RenderRoundButton(look).up.pixel(10, 10) & 0xFFFFFF, 0x0000FFu);
    look.GlyphIndex = 1;
    EXPECT_EQ(RenderRoundButton(look).up.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
    look.GlyphMapped = true;  // wrapped over the dome: the cell covers the whole face
    const QImage mapped = RenderRoundButton(look).up;
    EXPECT_EQ(mapped.pixel(3, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(mapped.pixel(17, 10) & 0xFFFFFF, 0xFF0000u);
}

TEST(RoundButtonLookTest, StoredImagesStayUntilTheLookChanges) {
    TMyRoundButton b;
    RoundButtonImages stored = b.Images();
    stored.up.fill(Qt::magenta);
    b.SetImages(stored);
    b.resize(25, 25);  // the same size: nothing rendered
    EXPECT_EQ(b.Images().up.pixel(12, 12), QColor(Qt::magenta).rgb());
    b.SetCaption("x");
    EXPECT_NE(b.Images().up.pixel(12, 12), QColor(Qt::magenta).rgb());
}

}  // namespace
}  // namespace pelvano::gui
