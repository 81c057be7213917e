#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MouseEvents.h"
#include "gui/controls/MyVolMeter.h"
#include "gui/controls/velTracker.h"

namespace pelvano::gui {
namespace {

using namespace testing;

MeterLevels playerLevels() {
    MeterLevels lv;
    lv.levelMin = 0;
    lv.levelMax = 100;
    lv.levelHigh = 85;
    lv.levelMed = 50;
    lv.stereo = false;
    return lv;
}

TEST(MeterScale, PlayerWindowMeter) {
    const MeterScale s = ComputeMeterScale(playerLevels(), 7, 86);
    ASSERT_EQ(s.n, 27);
    for (int i = 0; i <= 27; ++i) {
        const TColor want = i >= 24 ? core::clRed : (i >= 14 ? core::clYellow : core::clLime);
        EXPECT_EQ(s.lit[static_cast<size_t>(i)], want) << i;
    }
    EXPECT_FLOAT_EQ(s.threshold[27], 1.0f);
    EXPECT_FLOAT_EQ(s.threshold[0], 1e-5f);
    EXPECT_EQ(s.unlit[27], 0x00007Fu);
    EXPECT_EQ(s.columnLeft[0], 1);
    EXPECT_EQ(s.columnRight[0], 5);
    EXPECT_EQ(SegmentY(86, 0), 84);
}

TEST(MeterScale, SmallMetersAndStereoColumns) {
    EXPECT_EQ(ComputeMeterScale(MeterLevels{}, 32, 4).n, -1);
    EXPECT_EQ(ComputeMeterScale(MeterLevels{}, 32, 5).n, 1);
    EXPECT_EQ(ComputeMeterScale(MeterLevels{}, 32, 400).n, 100);
    const MeterScale s = ComputeMeterScale(MeterLevels{}, 32, 152);
    EXPECT_EQ(s.columnRight[0], 14);
    EXPECT_EQ(s.columnLeft[1], 17);
    EXPECT_EQ(s.columnRight[1], 30);
}

TEST(MeterUpdate, LitSegmentsFollowTheLevelIncrementally) {
    const MeterScale s = ComputeMeterScale(playerLevels(), 7, 86);
    std::vector<std::pair<int, bool>> drawn;
    auto draw = [&](int i, bool lit) { drawn.emplace_back(i, lit); };
    int m = UpdateLitCount(s, 0, 0.5f, draw);
    for (int k = 0; k < s.n; ++k) EXPECT_EQ(k<m, 0.5f> s.threshold[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(drawn.size(), static_cast<size_t>(m));
    drawn.clear();
    const int fallen = UpdateLitCount(s, m, 0.01f, draw);
    EXPECT_LT(fallen, m);
    EXPECT_EQ(drawn.size(), static_cast<size_t>(m - fallen));
    drawn.clear();
    EXPECT_EQ(UpdateLitCount(s, fallen, 0.01f, draw), fallen);  // steady level: nothing redrawn
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(UpdateLitCount(s, fallen, 2.0f, draw), s.n);  // the top segment is never lit
}

TEST(MeterWidget, LimitsAndLevels) {
    TMyVolMeter meter;
    meter.SetlevelMax(-60);
    EXPECT_EQ(meter.levelMax(), -49);
    meter.SetlevelHigh(10);
    EXPECT_EQ(meter.levelHigh(), -49);
    meter.SetlevelMin(0);
    EXPECT_EQ(meter.levelMin(), -50);

    TMyVolMeter tiny;
    tiny.resize(10, 4);
    tiny.SetLeftPosition(1.0f);
    EXPECT_EQ(tiny.LitCount(0), 0);

    TMyVolMeter player;
    player.resize(7, 86);
    player.Setstereo(false);
    player.SetlevelMin(0);
    player.SetlevelMax(100);
    player.SetlevelHigh(85);
    player.SetlevelMed(50);
    player.SetBackGroundColor(core::clBlack);
    player.SetLeftPosition(0.9999f);
    EXPECT_EQ(player.LitCount(0), 27);
    const QImage& img = player.Canvas();
    EXPECT_EQ(img.pixel(3, SegmentY(86, 26)) & 0xFFFFFF, 0xFF0000u);  // lit red
    EXPECT_EQ(img.pixel(3, SegmentY(86, 27)) & 0xFFFFFF, 0x7F0000u);  // the top stays unlit
    EXPECT_EQ(img.pixel(3, SegmentY(86, 20)) & 0xFFFFFF, 0xFFFF00u);  // yellow
    EXPECT_EQ(img.pixel(3, SegmentY(86, 0)) & 0xFFFFFF, 0x00FF00u);   // lime
    player.SetRightPosition(1.0f);  // mono: the right channel is not shown
    EXPECT_EQ(player.LitCount(1), 0);
}

TEST(TrackerGeometryTest, VolumeSliderOfThePlayerWindow) {
    TrackerSizes z;
    z.width = 68;
    z.ThumbWidth = 4;
    const TrackerGeometry g = ComputeTrackerGeometry(z);
    EXPECT_EQ(g.s, 7);
    EXPECT_EQ(g.e, 61);
    EXPECT_EQ(ThumbFromValue(g, -1700, -3400, 0), 34);
    EXPECT_EQ(g.track, (Edges{7, 9, 61, 15}));
    EXPECT_EQ(g.hit, (Edges{7, 4, 61, 20}));
    EXPECT_EQ(ThumbRect(z, 34), (Edges{32, 4, 36, 20}));
    EXPECT_EQ(ValueFromThumb(g, 7, -3400, 0), -3400);
    EXPECT_EQ(ValueFromThumb(g, 61, -3400, 0), 0);
    z.orientation = jtbVertical;
    z.height = 100;
    z.width = 24;
    const TrackerGeometry v = ComputeTrackerGeometry(z);
    EXPECT_EQ(v.s, 13);
    EXPECT_EQ(v.track, (Edges{9, 13, 15, 87}));
}

TEST(TrackerGeometryTest, PositionColourScalesWithTheValue) {
    EXPECT_EQ(TrackPositionColour(0x0080FF, 0, 0, 100), 0u);
    EXPECT_EQ(TrackPositionColour(0x0080FF, 100, 0, 100), 0x0080FFu);
    EXPECT_EQ(TrackPositionColour(0x0080FF, 50, 0, 100), 0x004080u);
}

struct TrackerDrag : ::testing::Test {
    TvelTracker t;
    std::vector<int> events;
    void SetUp() override {
        t.resize(68, 24);
        t.SetThumbWidth(4);
        t.SetMinimum(-3400);
        t.SetMaximum(0);
        t.SetValue(-1700);
        t.onChangedValue = [this](TvelTracker*, int v) { events.push_back(v); };
    }
};

TEST_F(TrackerDrag, FarEndsGiveExactlyMinimumAndMaximum) {
    EXPECT_EQ(t.ThumbCentre(), 34);
    press(&t, {34, 12});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events.back(), -1700);
    moveTo(&t, {-500, 40});
    EXPECT_EQ(t.Value(), -3400);
    moveTo(&t, {-600, 40});  // no change, still an event
    moveTo(&t, {900, 12});
    EXPECT_EQ(t.Value(), 0);
    EXPECT_EQ(events.size(), 4u);
    release(&t, {900, 12});
    moveTo(&t, {20, 12});
    EXPECT_EQ(events.size(), 4u);  // not dragging any more
    EXPECT_EQ(t.Value(), 0);
}

TEST_F(TrackerDrag, PressOutsideTheHitAreaAndRefusedValues) {
    press(&t, {34, 1});
    EXPECT_TRUE(events.empty());
    t.SetValue(1);
    EXPECT_EQ(t.Value(), -1700);
    t.SetMinimum(0);  // not below Maximum
    EXPECT_EQ(t.Minimum(), -3400);
    t.SetMaximum(-2000);
    EXPECT_EQ(t.Value(), -2000);
    t.SetThumbHeight(24);  // not below the height
    EXPECT_EQ(t.ThumbHeight(), 16);
    EXPECT_TRUE(events.empty());  // setting from code fires nothing
}

}  // namespace
}  // namespace pelvano::gui
