// The schedule window across the player's width: the fixed number column while the keys move
// through the columns, the column widths in the font in use, the file bar within the width,
// and the caption as the window system shows it.
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <cstdio>

#include "core/app/IniFile.h"
#include "core/playout/StationFixture.h"
#include "gui/MouseEvents.h"
#include "gui/app/PelvanoApplication.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/ScheduleColumns.h"
#include "gui/schedule/ScheduleGridModel.h"
#include "gui/schedule/ScheduleGridView.h"

namespace pelvano::test {
namespace {

using gui::TFrmPlayJM;

constexpr QRect kPlayer(0, 0, 297, 147);

class ScheduleColumnsTest : public StationFixture {
  protected:
    void open(int rows = 5) {
        std::vector<Row> table(static_cast<std::size_t>(rows));
        for (Row& r : table) r = {"", "08:00:00", "", "", "", "演示电台", "演示电台"};
        writeSchedule(table);
        // As in the application: the window first, so the stored layout applies at the start.
        makeStation();
        window = std::make_unique<TFrmPlayJM>(*station);
        ASSERT_EQ(station->start(), core::StartupOutcome::Running);
        window->show();
        window->repaintSchedule();
        window->dockUnder(kPlayer);
    }
    QRect cell(int row, int col) const {
        return window->sgJM()->visualRect(window->gridModel()->index(row, col));
    }
    std::unique_ptr<TFrmPlayJM> window;
};

TEST_F(ScheduleColumnsTest, TheNumberColumnStaysWhileTheKeysMoveThroughTheColumns) {
    open();
    gui::ScheduleGridView* grid = window->sgJM();
    window->btnEdit->trigger();
    grid->setCurrentIndex(window->gridModel()->index(0, core::kColTitle));
    const int viewport = grid->viewport()->width();
    for (int col = core::kColTitle + 1; col <= core::kColStartTime; ++col) {
        QTest::keyClick(grid, Qt::Key_Right);
        ASSERT_EQ(grid->currentIndex().column(), col);
        EXPECT_EQ(cell(0, core::kColNumber).left(), 0) << col;
        EXPECT_GE(cell(0, col).left(), cell(0, core::kColNumber).right()) << col;
        EXPECT_LE(cell(0, col).right(), viewport) << col;
        EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    }
    EXPECT_GT(grid->firstScrollingColumn(), core::kColTitle);
    // Back to the left one column at a time: none is skipped.
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->currentIndex().column(), core::kColStartTime - 1);
    const int first = grid->firstScrollingColumn();
    grid->setCurrentIndex(window->gridModel()->index(0, first));
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->currentIndex().column(), first - 1);
    EXPECT_EQ(grid->firstScrollingColumn(), first - 1);
    // Hiding a column is not a width the operator set.
    EXPECT_GT(station->table().sgJM.colWidth(core::kColTitle), 0);
    // Out of edit mode the rows show from their first column again.
    window->btnEdit->trigger();
    EXPECT_EQ(grid->firstScrollingColumn(), core::kColTitle);
    EXPECT_EQ(cell(0, core::kColTitle).left(), cell(0, core::kColNumber).right() + 1);
}

TEST_F(ScheduleColumnsTest, ScrollingColumnArithmetic) {
    const std::vector<int> widths = {30, 100, 50, 50, 200};
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 1, 2, 200), 1);  // 30 + 100 + 50 fits
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 1, 3, 200), 2);
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 3, 1, 200), 1);  // to the left: from it
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 1, 4, 200), 4);  // too wide: from itself
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 3, 0, 200), 3);  // the fixed column
    EXPECT_EQ(gui::FirstScrollingColumn(widths, 2, 9, 200), 2);  // no such column
}

TEST_F(ScheduleColumnsTest, DesignWidthsFitTimesAndNamesOperatorWidthsAreKept) {
    core::IniWrite(paths.settingsFile(), core::Gbk("播出表"), core::Gbk("每列宽度ColWidth-7"),
                   "40");
    open();
    const QFontMetrics font = window->sgJM()->fontMetrics();
    const int time = font.horizontalAdvance(QStringLiteral("08:00:00"));
    const int name = font.horizontalAdvance(QStringLiteral("演示电台"));
    for (int col : {core::kColArtist, core::kColLength, core::kColEstimate}) {
        EXPECT_GE(window->sgJM()->columnWidth(col), std::max(time, name) + 4) << col;
        EXPECT_EQ(station->table().sgJM.colWidth(col), gui::kDesignColumnWidths[col]) << col;
    }
    EXPECT_EQ(window->sgJM()->columnWidth(core::kColStartTime), 40);
    EXPECT_EQ(window->sgJM()->columnWidth(core::kColCross),
              gui::kDesignColumnWidths[core::kColCross]);
}

TEST_F(ScheduleColumnsTest, TheFileBarKeepsThePlayersWidth) {
    open();
    window->setFileBarVisible(true);
    window->dockUnder(kPlayer);
    EXPECT_EQ(window->frameGeometry().width(), kPlayer.width());
    EXPECT_LE(window->minimumSizeHint().width(), kPlayer.width());
    EXPECT_TRUE(window->pl()->isVisible());
    EXPECT_EQ(window->pl()->width(), window->width());
}

// The window system's title is the caption alone, without the application's name.
TEST_F(ScheduleColumnsTest, TheCaptionIsTheWindowsOwnTextOnX11) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "X11 only";
    gui::SetApplicationIdentity();
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const std::string id = std::to_string(window->winId());
    std::string shown;
    if (FILE* f = ::popen(("xdotool getwindowname " + id).c_str(), "r")) {
        char line[512];
        if (std::fgets(line, sizeof line, f)) shown = line;
        ::pclose(f);
    }
    EXPECT_EQ(QString::fromStdString(shown).trimmed(), window->windowTitle());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("【播出节目表:节目表.JMB】"));
}

}  // namespace
}  // namespace pelvano::test
