#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <QTimer>

#include "MouseEvents.h"
#include "gui/controls/MyRoundButton.h"
#include "gui/controls/TransparentButton.h"

namespace pelvano::gui {
namespace {

using namespace testing;

// Closes the next menu that opens, once it is on screen.
void closeMenuSoon(QMenu& menu) {
    QObject::connect(&menu, &QMenu::aboutToShow, &menu,
                     [&menu] { QTimer::singleShot(0, &menu, &QMenu::close); });
}

TEST(PopupMenus, RightClickOnARoundButtonTagsTheMenu) {
    QWidget parent;
    auto* b = new TMyRoundButton(&parent);
    QMenu menu;
    closeMenuSoon(menu);
    b->PopUpMenu = &menu;
    int ups = 0;
    b->OnMouseUp = [&](TMyRoundButton*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        ++ups;
    };
    press(b, {12, 12}, Qt::RightButton);
    EXPECT_EQ(ups, 1);  // the release handling ran before the menu
    EXPECT_EQ(menu.property("Tag").value<QObject*>(), b);
    EXPECT_FALSE(b->Down());
}

TEST(PopupMenus, TextButtonsOpenTheirMenuForAnyButton) {
    QWidget parent;
    auto* text = new TMyTransBtn(&parent);
    auto* icon = new TTransparentButton(&parent);
    QMenu menu;
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] { ++shown; });
    closeMenuSoon(menu);
    text->PopUpMenu = &menu;
    icon->PopUpMenu = &menu;
    press(text, {5, 5}, Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(text->PressedLook());  // the release ran when the menu closed
    press(icon, {5, 5}, Qt::LeftButton);
    EXPECT_EQ(shown, 1);  // icon buttons: right button only
    release(icon, {5, 5}, Qt::LeftButton);
    press(icon, {5, 5}, Qt::RightButton);
    EXPECT_EQ(shown, 2);
}

TEST(Accelerators, AltAndTheMarkedLetterClicks) {
    QWidget window;
    auto* b = new TMyTransBtn(&window);
    b->SetCaption("重载(&R)");
    int clicks = 0;
    b->OnClick = [&](TransparentButtonBase*) { ++clicks; };
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    b->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace pelvano::gui
