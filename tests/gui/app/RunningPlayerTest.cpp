// A second start on a station folder reaches the player that holds it, and only that one.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "gui/app/RunningPlayer.h"
#include "support/TempDir.h"

namespace pelvano::gui {
namespace {

TEST(RunningPlayerTest, ASecondStartRaisesThePlayerOfItsFolderOnly) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    const std::string a = (dir.path() / "a").string();
    const std::string b = (dir.path() / "b").string();
    // Spellings of one folder name one player; another folder another.
    EXPECT_EQ(RunningPlayerName(a), RunningPlayerName(a + "/"));
    EXPECT_EQ(RunningPlayerName(a), RunningPlayerName(b + "/../a"));
    EXPECT_NE(RunningPlayerName(a), RunningPlayerName(b));

    EXPECT_FALSE(AskRunningPlayerToRaise(a)) << "nobody plays the folder yet";
    int raised = 0;
    {
        const RunningPlayerListener onAir(a, [&raised] { ++raised; });
        ASSERT_TRUE(AskRunningPlayerToRaise(a));
        EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised == 1; }, 5000));
        EXPECT_FALSE(AskRunningPlayerToRaise(b));
        // A player killed before it could remove its socket: the next one listens all the same.
        const RunningPlayerListener restarted(a, [&raised] { raised += 10; });
        ASSERT_TRUE(AskRunningPlayerToRaise(a));
        EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised == 11; }, 5000));
    }
    EXPECT_FALSE(AskRunningPlayerToRaise(a)) << "the player has ended";
}

}  // namespace
}  // namespace pelvano::gui
