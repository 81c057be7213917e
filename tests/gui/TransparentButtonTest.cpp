#include <gtest/gtest.h>

#include <QWidget>

#include "MouseEvents.h"
#include "gui/controls/TransparentButton.h"

namespace pelvano::gui {
namespace {

using namespace testing;

TEST(TransButtonLookTest, GlyphCellsFromProportions) {
    EXPECT_EQ(TransButtonGlyphCells(QImage(32, 16, QImage::Format_RGB32), 1), 2);
    EXPECT_EQ(TransButtonGlyphCells(QImage(80, 16, QImage::Format_RGB32), 3), 1);
    EXPECT_EQ(TransButtonGlyphCells(QImage(30, 16, QImage::Format_RGB32), 3), 3);
}

TEST(TransButtonLookTest, GreyAndEtchedCopies) {
    QImage cell(3, 3, QImage::Format_RGB32);
    cell.fill(Qt::white);
    cell.setPixel(1, 1, qRgb(200, 100, 50));
    const QImage grey = GreyCopy(cell);
    EXPECT_EQ(grey.pixel(1, 1) & 0xFFFFFF, 0x606060u);  // (11·200 + 59·100 + 30·50) div 100 = 96
    const QImage etched = DisabledCopy(cell, 0xC0C0C0, 0xFFFFFF, 0x808080);
    EXPECT_EQ(etched.pixel(1, 1) & 0xFFFFFF, 0x808080u);  // ink in shadow in place
    EXPECT_EQ(etched.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);  // highlight one down and right
    EXPECT_EQ(etched.pixel(0, 0) & 0xFFFFFF, 0xC0C0C0u);  // the rest is the face
}

TEST(TransButtonLookTest, EntryShownPerState) {
    TransButtonState s;
    // Two cells + grey + disabled: 4 entries.
    EXPECT_EQ(GlyphEntryIndex(2, 4, fsRegular, true, s), 0);
    s.enabled = false;
    EXPECT_EQ(GlyphEntryIndex(2, 4, fsRegular, true, s), 1);
    EXPECT_EQ(GlyphEntryIndex(1, 3, fsRegular, true, s), 2);  // the etched copy
    s = {};
    EXPECT_EQ(GlyphEntryIndex(1, 3, fsExplorer, true, s), 1);  // grey while away
    s.hover = true;
    EXPECT_EQ(GlyphEntryIndex(1, 3, fsExplorer, true, s), 0);
    s.pressedLook = true;
    EXPECT_EQ(GlyphEntryIndex(3, 5, fsRegular, true, s), 2);
    EXPECT_EQ(GlyphEntryIndex(1, 0, fsRegular, true, s), -1);
}

TEST(TransButtonLookTest, PlacementByTextAlign) {
    EXPECT_EQ(GlyphOrigin(ttaRight, 86, 40, 16, 16, 2), QPoint(2, 12));
    EXPECT_EQ(GlyphOrigin(ttaLeft, 86, 40, 16, 16, 2), QPoint(68, 12));
    EXPECT_EQ(GlyphOrigin(ttaBottom, 40, 40, 16, 16, 2), QPoint(12, 2));
    EXPECT_EQ(GlyphOrigin(ttaTop, 40, 40, 16, 16, 2), QPoint(12, 22));
    const QRect g(12, 2, 16, 16);
    EXPECT_EQ(CaptionOrigin(ttaBottom, 40, 40, 10, 8, 2, g), QPoint(15, 20));
    EXPECT_EQ(CaptionOrigin(ttaTopLeft, 40, 40, 10, 8, 2, g), QPoint(2, -8));
    EXPECT_EQ(CaptionOrigin(ttaRight, 40, 40, 10, 8, 2, g), QPoint(28, 16));
    EXPECT_EQ(CaptionOrigin(ttaCenter, 40, 40, 10, 8, 2, g), QPoint(15, 16));
}

TEST(TransButtonLookTest, ExplorerFramesFollowTheMouse) {
    TransButtonState s;
    EXPECT_TRUE(StateFrames(fsExplorer, true, 1, s).empty());
    s.hover = true;
    ASSERT_EQ(StateFrames(fsExplorer, true, 1, s).size(), 1u);
    EXPECT_EQ(StateFrames(fsExplorer, true, 1, s)[0].topLeft, clBtnHighlight);
    s.pressedLook = true;
    EXPECT_EQ(StateFrames(fsExplorer, true, 1, s)[0].topLeft, clBtnShadow);
    for (bool pressed : {false, true}) {
        s.pressedLook = pressed;
        EXPECT_TRUE(StateFrames(fsNone, true, 1, s).empty());
    }
    EXPECT_EQ(StateFrames(fsRegular, true, 2, s).size(), 2u);
    EXPECT_EQ(StateFrames(fsMono, false, 2, s)[0].topLeft, clBtnHighlight);  // not shown pressed
}

struct TransButtonEvents : ::testing::Test {
    QWidget parent;
    TTransparentButton* icon = new TTransparentButton(&parent);
    TMyTransBtn* text = new TMyTransBtn(&parent);
    int clicks = 0;
    int ups = 0;
    void SetUp() override {
        for (TransparentButtonBase* b : std::initializer_list<TransparentButtonBase*>{icon, text}) {
            b->OnClick = [this](TransparentButtonBase*) { ++clicks; };
            b->OnMouseUp = [this](TransparentButtonBase*, Qt::MouseButton, Qt::KeyboardModifiers,
                                  int, int) { ++ups; };
        }
    }
};

TEST_F(TransButtonEvents, DefaultsOfTheTwoFlavours) {
    EXPECT_EQ(icon->Caption(), "");
    EXPECT_EQ(text->Caption(), "Caption");
    EXPECT_EQ(text->Font().size, 9);
    EXPECT_EQ(icon->FrameStyle(), fsExplorer);
    EXPECT_EQ(icon->size(), QSize(40, 40));
}

TEST_F(TransButtonEvents, DragOutsideAndReleaseDoesNotClick) {
    press(icon, {10, 10});
    EXPECT_TRUE(icon->PressedLook());
    moveTo(icon, {60, 10});
    EXPECT_FALSE(icon->PressedLook());
    release(icon, {60, 10});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(ups, 1);
    press(icon, {10, 10});
    release(icon, {10, 10});
    EXPECT_EQ(clicks, 1);
}

TEST_F(TransButtonEvents, ClickRestoresTheFontColourAfterTheHandler) {
    icon->SetDown(true);
    icon->OnClick = [](TransparentButtonBase* b) {
        core::FontRecord f = b->Font();
        f.color = core::clRed;
        b->SetFont(f);
    };
    press(icon, {10, 10});
    release(icon, {10, 10});
    EXPECT_EQ(icon->Font().color, core::clBlack);
    EXPECT_FALSE(icon->Down());  // the click let it up
}

TEST_F(TransButtonEvents, LatchedTextButtonStaysPressed) {
    text->SetDown(true);
    press(text, {10, 10});
    release(text, {10, 10});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(text->Down());
    EXPECT_TRUE(text->PressedLook());
    EXPECT_EQ(ups, 0);  // a latched button's release does nothing more
}

TEST_F(TransButtonEvents, MovableButtonFollowsThePointer) {
    icon->Movable = true;
    icon->move(100, 50);
    press(icon, {10, 10});
    moveTo(icon, {15, 13});
    EXPECT_EQ(icon->pos(), QPoint(105, 53));
    EXPECT_TRUE(icon->PressedLook());
}

TEST_F(TransButtonEvents, AcceleratorClicksWhileEnabled) {
    text->SetCaption("重载(&R)");
    EXPECT_TRUE(text->DialogChar('r'));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(text->DialogChar('x'));
    text->setEnabled(false);
    EXPECT_FALSE(text->DialogChar('r'));
    EXPECT_EQ(clicks, 1);
}

TEST_F(TransButtonEvents, DisablingClearsTheTransientState) {
    press(text, {10, 10});
    text->setEnabled(false);
    EXPECT_FALSE(text->PressedLook());
    text->setEnabled(true);
    press(text, {10, 10});  // a new press is accepted
    EXPECT_TRUE(text->PressedLook());
}

TEST_F(TransButtonEvents, GlyphUpdateBuildsTheList) {
    icon->SetGlyph(QImage(32, 16, QImage::Format_RGB32));
    EXPECT_EQ(icon->NumGlyphs(), 2);
    EXPECT_EQ(icon->GlyphListCount(), 4);
    icon->SetNumGlyphs(1);  // the list stays as built
    EXPECT_EQ(icon->GlyphListCount(), 4);
}

}  // namespace
}  // namespace pelvano::gui
