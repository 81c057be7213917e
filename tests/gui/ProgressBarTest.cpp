#include <gtest/gtest.h>

#include <stdexcept>

#include "gui/controls/MyProgressBarNew.h"

namespace pelvano::gui {
namespace {

TEST(ProgressGradient, LinearRampOfFiveColumns) {
    GradientLook look;
    look.style = cs2Colors;
    look.BarColor1 = core::clBlack;
    look.BarColor2 = core::clRed;
    const QImage img = BuildGradientImage(look, 5, 3);
    const int expected[] = {0, 64, 128, 191, 255};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(qRed(img.pixel(x, 0)), expected[x]) << x;
        EXPECT_EQ(qRed(img.pixel(x, 2)), expected[x]);
        EXPECT_EQ(qGreen(img.pixel(x, 1)), 0);
    }
}

TEST(ProgressGradient, MidpointAndSteepnessMoveTheTransition) {
    // A midpoint of 0 puts the whole segment past the half-way point: mostly the end colour.
    EXPECT_EQ(GradientColour(core::clBlack, core::clRed, 10, 6, 0, 1), core::clRed);
    EXPECT_EQ(GradientColour(core::clBlack, core::clRed, 10, 1, 100, 1), core::clBlack);
    // A steeper gradient reaches the end colour sooner.
    EXPECT_EQ(GradientColour(core::clBlack, core::clRed, 10, 8, 50, 3), core::clRed);
}

TEST(ProgressGradient, ReversedAndThreeColourSegments) {
    GradientLook look;  // three colours green → yellow → red
    const QImage forward = BuildGradientImage(look, 20, 1);
    EXPECT_EQ(forward.pixel(0, 0) & 0xFFFFFF, 0x008000u);
    EXPECT_EQ(forward.pixel(19, 0) & 0xFFFFFF, 0xFF0000u);
    look.direction = pdRightToLeft;
    const QImage reversed = BuildGradientImage(look, 20, 1);
    EXPECT_EQ(reversed.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(reversed.pixel(19, 0) & 0xFFFFFF, 0x008000u);  // the fill starts on BarColor1
    look.direction = pdBottomToTop;
    const QImage upward = BuildGradientImage(look, 1, 20);
    EXPECT_EQ(upward.pixel(0, 19) & 0xFFFFFF, 0x008000u);
}

TEST(ProgressGradient, IndexOutsideTheRampIsARangeError) {
    try {
        GradientColour(core::clBlack, core::clRed, 5, 6, 50, 1);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "ColorIndex can't be less than 1 or greater than 5");
    }
    EXPECT_THROW(GradientColour(core::clBlack, core::clRed, 5, 0, 50, 1), std::out_of_range);
}

TEST(ProgressBar, FilledLengthAndUnfilledPart) {
    EXPECT_EQ(FilledLength(40, 0, 100, 200), 80);
    EXPECT_EQ(FilledLength(0, 0, 100, 200), 0);
    EXPECT_EQ(FilledLength(100, 0, 100, 200), 200);
    EXPECT_EQ(FilledLength(5, 5, 5, 200), 0);
    const Edges bar{2, 2, 202, 22};
    EXPECT_EQ(UnfilledPart(pdLeftToRight, bar, 120), (Edges{82, 2, 202, 22}));
    EXPECT_EQ(UnfilledPart(pdRightToLeft, bar, 120), (Edges{2, 2, 122, 22}));
    EXPECT_EQ(UnfilledPart(pdBottomToTop, bar, 5), (Edges{2, 2, 202, 7}));
    EXPECT_EQ(UnfilledPart(pdTopToBottom, bar, 5), (Edges{2, 17, 202, 22}));
}

TEST(ProgressBar, PaintsEightyOfTwoHundredPixels) {
    TMyProgressBarNew pb;
    pb.resize(200, 20);
    pb.SetBevelOuter(bvNone);
    pb.SetShowPosText(false);
    pb.SetBarColorStyle(cs1Color);
    pb.SetBackgroundColor(core::clWhite);
    EXPECT_EQ(pb.BarArea(), (Edges{0, 0, 200, 20}));
    pb.SetPosition(40);
    const QImage img = pb.Render();
    EXPECT_EQ(img.pixel(79, 10) & 0xFFFFFF, 0x008000u);
    EXPECT_EQ(img.pixel(80, 10) & 0xFFFFFF, 0xFFFFFFu);
    pb.SetPosition(101);  // outside the range: ignored, not clamped
    EXPECT_EQ(pb.Position(), 40);
    pb.SetMin(40);
    EXPECT_EQ(pb.Render().pixel(0, 10) & 0xFFFFFF, 0xFFFFFFu);  // Position = Min: empty
}

TEST(ProgressBar, BevelsInsetTheBar) {
    TMyProgressBarNew pb;
    pb.resize(100, 20);
    pb.SetBevelInner(bvRaised);
    pb.SetBevelWidth(2);
    pb.SetBorderWidth(1);
    EXPECT_EQ(pb.BarArea(), (Edges{5, 5, 95, 15}));
    pb.SetBevelWidth(0);  // refused
    EXPECT_EQ(pb.BevelWidth(), 2);
}

TEST(ProgressBar, BevelCornersFollowThePenOrder) {
    TMyProgressBarNew pb;
    pb.resize(20, 10);
    pb.SetBevelOuter(bvRaised);
    pb.SetBevelWidth(2);
    pb.SetShowPosText(false);  // the text is drawn over the bevels
    const QImage img = pb.Render();
    const QRgb light = ToQColor(clBtnHighlight).rgb() | 0xFF000000u,
               dark = ToQColor(clBtnShadow).rgb() | 0xFF000000u;
    ASSERT_NE(light, dark);
    for (int k = 0; k < 2; ++k) {
        const int right = 19 - k, bottom = 9 - k;
        EXPECT_EQ(img.pixel(k, k), light) << k;          // top-left
        EXPECT_EQ(img.pixel(right, k), light) << k;      // top-right: first colour
        EXPECT_EQ(img.pixel(k, bottom), dark) << k;      // bottom-left: second colour
        EXPECT_EQ(img.pixel(right, bottom), dark) << k;  // bottom-right
        EXPECT_EQ(img.pixel(10, k), light) << k;         // top edge
        EXPECT_EQ(img.pixel(k, 5), light) << k;          // left edge
        EXPECT_EQ(img.pixel(10, bottom), dark) << k;     // bottom edge
        EXPECT_EQ(img.pixel(right, 5), dark) << k;       // right edge
    }
    // Lowered swaps the colours, corners included.
    pb.SetBevelOuter(bvLowered);
    const QImage lowered = pb.Render();
    EXPECT_EQ(lowered.pixel(19, 0), dark);
    EXPECT_EQ(lowered.pixel(0, 9), light);
}

TEST(ProgressBar, TextOfCaptionOrPosition) {
    EXPECT_EQ(PositionText("[", "]", true, "X", false, 3, 0, 100), "[X]");
    EXPECT_EQ(PositionText("", "", false, "X", true, 50, 0, 200), "25");
    EXPECT_EQ(PositionText("", "%", false, "", true, 7, 7, 7), "%");  // no percentage of nothing
    EXPECT_EQ(PositionText("", "", false, "", false, 42, 0, 100), "42");
}

}  // namespace
}  // namespace pelvano::gui
