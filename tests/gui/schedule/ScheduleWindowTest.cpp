// The schedule window driven offscreen on a station in virtual time: its model, its cell look,
// drops, edits, row moves and their mark, the menu and its dialogs (the right button changing
// nothing else), docking, the view held still while the operator works, and a full round trip to
// the file on disk and pelvano-cli.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include "core/playout/StationFixture.h"
#include "core/schedule/ScheduleEdits.h"
#include "gui/MouseEvents.h"
#include "gui/controls/MyProgressBarNew.h"
#include "gui/playout/ProgressBarView.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/ScheduleCellLook.h"
#include "gui/schedule/ScheduleGridModel.h"
#include "gui/schedule/ScheduleGridView.h"

namespace pelvano::test {
namespace {

using gui::TFrmPlayJM;

// A player window as the docked schedule window sees it.
class FakePlayer : public QWidget, public gui::PlayerDock {
  public:
    FakePlayer() : QWidget(nullptr, Qt::FramelessWindowHint) {}
    QRect playerFrame() const override { return geometry(); }
    bool playerVisible() const override { return isVisible(); }
    qreal playerOpacity() const override { return opacity; }
    qreal opacity = 1.0;
};

class ScheduleWindowTest : public StationFixture {
  protected:
    void SetUp() override {
        setKey("spOut", "0");
        setKey("chkManOper", "NO");
    }

    std::vector<Row> rowsTitled(int n) {
        std::vector<Row> rows;
        for (int i = 1; i <= n; ++i) rows.push_back({"", "", "", "", "", "r" + std::to_string(i)});
        return rows;
    }

    void openWindow() {
        window = std::make_unique<TFrmPlayJM>(*station);
        window->resize(800, 300);
        window->show();
        window->repaintSchedule();
        window->fileDialogs = [this](const gui::FileDialogRequest& r) {
            requests.push_back(r);
            return answer;
        };
        window->showError = [this](const QString& text) { errors << text; };
    }

    QPoint cellCentre(int modelRow, int col) const {
        return window->sgJM()->visualRect(window->gridModel()->index(modelRow, col)).center();
    }

    void dropUrls(int modelRow, const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& f : files) urls << QUrl::fromLocalFile(f);
        mime.setUrls(urls);
        QWidget* viewport = window->sgJM()->viewport();
        const QPoint at =
            modelRow < 0 ? QPoint(5, viewport->height() - 2) : cellCentre(modelRow, 1);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
    }

    std::string title(int gridRow) const {
        return core::GbkToUtf8(station->table().sgJM.cell(core::kColTitle, gridRow));
    }

    QString dir_(const char* name) const {
        return QString::fromStdString(paths.applicationDir + name);
    }

    std::unique_ptr<TFrmPlayJM> window;
    std::vector<gui::FileDialogRequest> requests;
    QStringList answer;
    QStringList errors;
};

TEST_F(ScheduleWindowTest, TheModelFollowsTheTableThroughEveryEdit) {
    writeSchedule(rowsTitled(6));
    startStation();
    openWindow();
    QAbstractItemModelTester tester(window->gridModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    gui::ScheduleGridModel& model = *window->gridModel();
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.columnCount(), 10);
    EXPECT_EQ(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("估计播出时间"));
    station->table().sgJM.setCell(core::kColFile, 2, core::Utf8ToGbk("D:\\音乐\\晚风.MP3"));
    EXPECT_EQ(model.data(model.index(1, 8), Qt::DisplayRole).toString(),
              QStringLiteral("晚风.MP3"));
    EXPECT_EQ(model.data(model.index(1, 8), Qt::EditRole).toString(),
              QStringLiteral("D:\\音乐\\晚风.MP3"));

    // Nothing is editable in row mode; in edit mode only the editable columns.
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    window->btnEdit->trigger();
    for (int col = 0; col < 10; ++col) {
        EXPECT_EQ(bool(model.flags(model.index(0, col)) & Qt::ItemIsEditable),
                  core::IsEditableColumn(col))
            << col;
    }
    EXPECT_FALSE(model.setData(model.index(0, core::kColArtist), "x", Qt::EditRole));

    window->moveRow(2, 5);
    window->dropFiles(0, {dir_("none.wav")});  // the header row: nothing
    EXPECT_EQ(model.rowCount(), 6);
    core::DeleteSelection(station->table(), {0, 1, 9, 6}, true);
    window->repaintSchedule();
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ScheduleWindowTest, CellLooksFollowTheDrawingTable) {
    const core::TColor accent = gui::kDefaultScheduleAccent;
    const auto playing = gui::ScheduleCellLookOf(7, false, 7, accent);
    EXPECT_EQ(playing.band, core::ScaleColor(255, 1.5));
    EXPECT_EQ(playing.textLeft, 2);
    const auto playingSelected = gui::ScheduleCellLookOf(7, true, 7, accent);
    EXPECT_EQ(playingSelected.band, core::ScaleColor(255, 1.5));
    EXPECT_EQ(playingSelected.textLeft, 3);
    EXPECT_TRUE(playingSelected.highlightText);
    EXPECT_EQ(gui::ScheduleCellLookOf(4, true, 7, accent).band,
              core::ScaleColor(accent ^ 0xFFFFFF, 1.5));
    EXPECT_EQ(gui::ScheduleCellLookOf(3, false, 7, accent).band, core::ScaleColor(accent, 1.55));
    EXPECT_EQ(gui::ScheduleCellLookOf(4, false, 7, accent).band, accent);
    EXPECT_EQ(gui::ScheduleCellLookOf(4, false, 7, accent).text, gui::kScheduleTextColour);
    EXPECT_EQ(gui::ScheduleHeaderLook(accent).band, core::ScaleColor(0xFF0000, 1.3));
    EXPECT_EQ(gui::ScheduleHeaderLook(accent).text, core::ScaleColor(accent ^ 0xFFFFFF, 0.9));

    // On screen: the middle line of the row on air is the band's own colour, an even row the
    // accent.
    writeSchedule(rowsTitled(6));
    startStation();
    station->table().PlayingRow = 3;
    openWindow();
    window->sgJM()->clearSelection();
    const QImage shot = window->sgJM()->viewport()->grab().toImage();
    const QRect onAir = window->sgJM()->visualRect(window->gridModel()->index(2, core::kColFadeIn));
    const QRect even = window->sgJM()->visualRect(window->gridModel()->index(3, core::kColFadeIn));
    EXPECT_EQ(gui::FromQColor(shot.pixelColor(onAir.right() - 2, onAir.top() + 7)),
              core::ScaleColor(255, 1.5));
    EXPECT_EQ(gui::FromQColor(shot.pixelColor(even.right() - 2, even.top() + 7)), accent);
    EXPECT_EQ(onAir.height(), TFrmPlayJM::kRowHeight);
}

TEST_F(ScheduleWindowTest, MenuItemsAndDialogs) {
    writeSchedule(rowsTitled(3));
    writeSchedule(rowsTitled(5), "2026-12-09.JMB");
    startStation();
    openWindow();
    QStringList texts;
    for (QAction* a : window->PopupMenu1()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts.join('|'), QStringLiteral("查看历史|编辑节目表|插入音频文件|删除选择记录|-|"
                                              "合并节目表|打开节目表|另存为...|保存"));
    EXPECT_TRUE(window->btnEdit->isCheckable());

    answer = {};
    window->btnSaveAsClick();
    window->btnLoadJMClick();
    window->mnInsertClick();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].title, QStringLiteral("播出节目表另存为"));
    EXPECT_EQ(requests[0].fileName, dir_("2026-12-08.JMB"));  // tomorrow, not today
    EXPECT_EQ(requests[0].filter,
              QStringLiteral("节目表(*.JMB);;星期节目表(星期*.JMB);;日期节目表(2*.JMB)"));
    EXPECT_EQ(requests[1].title, QStringLiteral("选择播放节目表"));
    EXPECT_EQ(requests[1].kind, gui::FileDialogRequest::OpenExisting);
    EXPECT_EQ(requests[2].title, QStringLiteral("选择音频文件"));
    EXPECT_EQ(requests[2].kind, gui::FileDialogRequest::OpenMany);

    // The top bar's selector lists the schedule files; reloading one opens it.
    EXPECT_FALSE(window->fileBarVisible());
    window->setFileBarVisible(true);
    EXPECT_TRUE(window->fileBarVisible());
    ASSERT_EQ(window->cbJM()->count(), 2);
    window->btnReLoadClick();  // nothing selected: nothing happens
    EXPECT_EQ(window->gridModel()->rowCount(), 3);
    window->cbJM()->setCurrentIndex(0);
    window->btnReLoad()->click();
    EXPECT_EQ(window->gridModel()->rowCount(), 5);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("【播出节目表:2026-12-09.JMB】"));
}

TEST_F(ScheduleWindowTest, KeysWheelAndCellMode) {
    writeSchedule(rowsTitled(60));
    startStation();
    openWindow();
    gui::ScheduleGridView* grid = window->sgJM();
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    const auto& model = *window->gridModel();
    EXPECT_TRUE(grid->selectionModel()->isSelected(model.index(0, 1)));
    EXPECT_TRUE(grid->selectionModel()->isSelected(model.index(59, 9)));
    EXPECT_FALSE(grid->selectionModel()->isSelected(model.index(0, 0)));

    // One row a notch.
    QWheelEvent down(QPointF(10, 10), grid->viewport()->mapToGlobal(QPointF(10, 10)), {},
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 1);

    // Cell mode: the Delete key deletes nothing, the menu command empties the selected cells.
    window->btnEdit->trigger();
    EXPECT_FALSE(grid->rowMode());
    grid->setCurrentIndex(window->gridModel()->index(1, 1));
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(station->table().sgJM.rowCount(), 61);
    EXPECT_EQ(title(2), "r2");
    window->btnDel->trigger();
    EXPECT_EQ(title(2), "");
    EXPECT_EQ(station->table().sgJM.rowCount(), 61);

    // The start-time column is edited through its mask; a half-typed time is erased on save.
    grid->setCurrentIndex(window->gridModel()->index(0, core::kColStartTime));
    grid->edit(grid->currentIndex());
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->inputMask(),
              QStringLiteral("00:00:00"));  // optional digits; blanks are spaces
    QTest::keyClicks(editor, "083");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits on the next turn of the loop
    EXPECT_EQ(station->table().sgJM.cell(core::kColStartTime, 1), "08:3 :  ");
    window->btnEdit->trigger();  // edit mode off saves, and the save recomputes the estimates
    EXPECT_EQ(station->table().sgJM.cell(core::kColStartTime, 1), "");
}

TEST_F(ScheduleWindowTest, DocksUnderThePlayerAndRefusesToClose) {
    writeSchedule(rowsTitled(2));
    startStation();
    openWindow();
    FakePlayer player;
    player.setGeometry(100, 50, 297, 147);
    player.show();
    window->setPlayerDock([&player] { return &player; });
    EXPECT_EQ(window->pos(), QPoint(100, 197));
    EXPECT_EQ(window->frameGeometry().width(), 297);
    player.move(300, 80);
    player.opacity = 0.75;
    QTest::qWait(TFrmPlayJM::kDockIntervalMs * 2);
    EXPECT_EQ(window->pos(), QPoint(300, 227));
    EXPECT_NEAR(window->windowOpacity(), 0.75, 0.005);
    EXPECT_FALSE(window->close());  // refused; the application's quit still closes it (e2e test)
    EXPECT_TRUE(window->isVisible());

    // Dragged by its top bar it follows the mouse, and returns under the player on release.
    window->setFileBarVisible(true);
    QWidget* bar = window->pl();
    const QPoint start = bar->mapToGlobal(QPoint(5, 5));
    gui::testing::pressAt(bar, start);
    gui::testing::moveAt(bar, start + QPoint(40, 30));
    EXPECT_EQ(window->pos(), QPoint(340, 257));
    gui::testing::releaseAt(bar, start + QPoint(40, 30));
    EXPECT_EQ(window->pos(), QPoint(300, 227));
}

TEST_F(ScheduleWindowTest, RowsMovedScrolledAndStartedWithTheRealMouseOnX11) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "X11 only";
    if (!gui::testing::Xdotool("version")) GTEST_SKIP() << "no xdotool";
    addSound("a.wav", 60);
    std::vector<Row> rows = rowsTitled(40);
    rows[2].file = "a.wav";
    writeSchedule(rows);
    setKey("chkManOper", "YES");
    startStation();
    openWindow();
    window->move(40, 40);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(200);
    station->table().PlayingRow = 2;
    const auto at = [this](int modelRow, int col) {
        const QPoint p = window->sgJM()->viewport()->mapToGlobal(cellCentre(modelRow, col));
        return std::to_string(p.x()) + " " + std::to_string(p.y());
    };
    using gui::testing::Xdotool;

    // Row 1 dragged by its number onto row 4.
    ASSERT_TRUE(Xdotool("mousemove " + at(0, 0) + " mousedown 1"));
    QTest::qWait(100);
    for (int row = 1; row <= 3; ++row) {
        ASSERT_TRUE(Xdotool("mousemove " + at(row, 0)));
        QTest::qWait(60);
    }
    ASSERT_TRUE(Xdotool("mouseup 1"));
    QTest::qWait(200);
    EXPECT_EQ(title(4), "r1");
    EXPECT_EQ(station->table().PlayingRow, 1);

    // A right click opens the menu and leaves the current row and the selection alone.
    ASSERT_TRUE(Xdotool("mousemove " + at(7, 1) + " click 3"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->PopupMenu1()->isVisible(); }, 2000));
    ASSERT_TRUE(Xdotool("key Escape"));
    QTest::qWait(200);
    EXPECT_FALSE(window->PopupMenu1()->isVisible());
    EXPECT_EQ(station->table().sgJM.currentRow(), 4);
    EXPECT_EQ(window->sgJM()->selectionModel()->selectedRows().size(), 1);

    // One wheel notch down scrolls one row.
    ASSERT_TRUE(Xdotool("mousemove " + at(5, 1) + " click 5"));
    QTest::qWait(200);
    EXPECT_EQ(window->sgJM()->verticalScrollBar()->value(), 1);

    // A double click on a row starts it.
    ASSERT_TRUE(Xdotool("mousemove " + at(1, 1) + " click --repeat 2 --delay 80 1"));
    QTest::qWait(300);
    EXPECT_EQ(countOf("开始准备播放:<a.wav>【节目:2】"), 1);  // r3 stands in row 2 since the move
}

TEST_F(ScheduleWindowTest, DropEditMoveSaveReopenRoundTrip) {
    addSound("晨曲.wav", 125);
    addSound("b.wav", 3);
    std::filesystem::create_directories(dir.path() / "sub");
    addSound("sub/c.wav", 61);
    dir.write("sub/readme.txt", "");
    writeSchedule(rowsTitled(3));
    startStation();
    openWindow();
    station->table().PlayingRow = 2;

    dropUrls(-1, {dir_("b.wav")});  // below the rows: ignored
    EXPECT_EQ(window->gridModel()->rowCount(), 3);
    dropUrls(1, {dir_("晨曲.wav"), dir_("sub")});
    ASSERT_EQ(window->gridModel()->rowCount(), 5);
    EXPECT_EQ(title(2), "晨曲");
    EXPECT_EQ(title(3), "c");
    EXPECT_EQ(station->table().PlayingRow, 4);
    EXPECT_TRUE(errors.isEmpty());

    // A title edited in edit mode.
    window->btnEdit->trigger();
    gui::ScheduleGridView* grid = window->sgJM();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(0, core::kColTitle));
    grid->edit(window->gridModel()->index(0, core::kColTitle));
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->insert(QStringLiteral("开场白"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    window->btnEdit->trigger();  // saves

    // Row 1 dragged by its number onto row 4.
    gui::testing::press(grid->viewport(), cellCentre(0, 0));
    gui::testing::moveTo(grid->viewport(), cellCentre(3, 0));
    gui::testing::release(grid->viewport(), cellCentre(3, 0));
    EXPECT_EQ(title(4), "开场白");
    EXPECT_EQ(station->table().PlayingRow, 3);
    EXPECT_EQ(station->table().sgJM.cell(core::kColNumber, 4), "   4");

    // The save runs the player's bar, and the window takes input again afterwards.
    gui::TMyProgressBarNew bar;
    gui::ProgressBarView barView(bar);
    window->saveProgress = &barView;
    window->btnSave->trigger();
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(bar.PosTextSuffix(), QStringLiteral("播出表保存完毕"));
    EXPECT_TRUE(window->isEnabled());
    station->table().sgJM.setCell(core::kColTitle, 1, "changed after the save");
    answer = {dir_("节目表.JMB")};
    window->btnLoadJM->trigger();
    const std::vector<std::string> expected = {"晨曲", "c", "r2", "开场白", "r3"};
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(title(r), expected[static_cast<std::size_t>(r) - 1]) << r;

    QProcess cli;
    cli.start(QStringLiteral(PELVANO_CLI_PATH),
              {QStringLiteral("schedule"), QStringLiteral("dump"), dir_("节目表.JMB")});
    ASSERT_TRUE(cli.waitForFinished(10000));
    const QStringList lines =
        QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("   1\t晨曲\t\t00:02:05")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("   4\t开场白\t")));
    EXPECT_TRUE(lines[2].contains(dir_("sub/c.wav")));
}

// The context menu as the right button opens it on a row.
void rightClick(gui::ScheduleGridView* grid, QPoint at) {
    gui::testing::press(grid->viewport(), at, Qt::RightButton);
    gui::testing::release(grid->viewport(), at, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &menu);
}

TEST_F(ScheduleWindowTest, TheRightButtonMovesNeitherTheCurrentRowNorTheSelection) {
    addSound("a.wav", 30);
    addSound("c.wav", 5);
    std::vector<Row> rows = rowsTitled(12);
    rows[2].file = "a.wav";
    rows[8].file = "a.wav";
    writeSchedule(rows);
    setKey("chkManOper", "YES");
    startStation();
    openWindow();
    gui::ScheduleGridView* grid = window->sgJM();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(2, 1));
    ASSERT_EQ(station->table().sgJM.currentRow(), 3);

    // Right-click row 9, Escape, ▶: row 3 starts. The menu inserts at row 9.
    rightClick(grid, cellCentre(8, 1));
    EXPECT_TRUE(window->PopupMenu1()->isVisible());
    window->PopupMenu1()->hide();
    EXPECT_EQ(station->table().sgJM.currentRow(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    station->items().btnPlayClick();
    EXPECT_EQ(countOf("开始准备播放:<a.wav>【节目:3】"), 1);
    EXPECT_EQ(countOf("【节目:9】"), 0);
    answer = {dir_("c.wav")};
    window->mnInsert->trigger();
    EXPECT_EQ(title(9), "c");
    EXPECT_EQ(title(10), "r9");

    // A range stays selected when the menu is opened inside it or outside it.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(5, 1));
    const auto selectedRows = [grid] { return grid->selectionModel()->selectedRows().size(); };
    ASSERT_EQ(selectedRows(), 3);
    for (const int row : {4, 10}) {
        rightClick(grid, cellCentre(row, 1));
        window->PopupMenu1()->hide();
        EXPECT_EQ(selectedRows(), 3) << row;
        EXPECT_EQ(grid->currentIndex().row(), 5) << row;
    }
}

TEST_F(ScheduleWindowTest, TheViewFollowsTheRowOnAirOnlyWhenTheOperatorIsNotAtWork) {
    writeSchedule(rowsTitled(60));
    startStation();
    openWindow();
    gui::ScheduleGridView* grid = window->sgJM();
    QScrollBar* bar = grid->verticalScrollBar();
    const auto itemStartsAt = [this](int gridRow) {
        station->table().sgJM.setCurrentRow(gridRow);
        window->repaintSchedule();
    };

    // A drag by the number cell: the rows stay where the mouse aims.
    gui::testing::press(grid->viewport(), cellCentre(1, 0));
    gui::testing::moveTo(grid->viewport(), cellCentre(3, 0));
    itemStartsAt(50);
    EXPECT_EQ(bar->value(), 0);
    gui::testing::release(grid->viewport(), cellCentre(4, 0));
    EXPECT_EQ(title(5), "r2");

    // Files from the desktop dragged over the rows.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir_("x.wav"))});
    QDragEnterEvent enter(cellCentre(2, 1), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(grid->viewport(), &enter);
    itemStartsAt(50);
    EXPECT_EQ(bar->value(), 0);
    QDragLeaveEvent leave;
    QApplication::sendEvent(grid->viewport(), &leave);
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->value() > 0; }, 1000));
    bar->setValue(0);
    itemStartsAt(5);

    // The context menu open.
    window->PopupMenu1()->popup(grid->viewport()->mapToGlobal(cellCentre(2, 1)));
    itemStartsAt(50);
    EXPECT_EQ(bar->value(), 0);
    window->PopupMenu1()->hide();
    QCoreApplication::processEvents();
    EXPECT_GT(bar->value(), 0);  // it follows again
    EXPECT_EQ(grid->currentIndex().row(), 49);

    // A cell being edited stays open and in view.
    bar->setValue(0);
    window->btnEdit->trigger();
    grid->setCurrentIndex(window->gridModel()->index(0, core::kColTitle));
    grid->edit(grid->currentIndex());
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    itemStartsAt(40);
    EXPECT_TRUE(grid->operatorBusy());  // still editing
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(editor, Qt::Key_Return);  // committed and closed on the loop's next turns
    EXPECT_TRUE(QTest::qWaitFor([grid] { return grid->currentIndex().row() == 39; }, 1000));
    EXPECT_GT(bar->value(), 0);
}

TEST_F(ScheduleWindowTest, RowsStayWholeAtTheBottomAndARowDragShowsWhereTheRowLands) {
    writeSchedule(rowsTitled(100));
    startStation();
    openWindow();
    gui::ScheduleGridView* grid = window->sgJM();
    if (grid->viewport()->height() % TFrmPlayJM::kRowHeight == 0) window->resize(800, 305);
    QCoreApplication::processEvents();
    ASSERT_NE(grid->viewport()->height() % TFrmPlayJM::kRowHeight, 0);
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum());
    const int top = grid->rowAt(0);
    EXPECT_EQ(grid->rowViewportPosition(top), 0);
    EXPECT_LE(grid->rowViewportPosition(99) + TFrmPlayJM::kRowHeight, grid->viewport()->height());

    // Dragged down, the mark is under the target row; dragged up, over it.
    bar->setValue(0);
    gui::testing::press(grid->viewport(), cellCentre(1, 0));
    EXPECT_TRUE(grid->moveMarkRect().isNull());
    gui::testing::moveTo(grid->viewport(), cellCentre(4, 0));
    const QRect below = grid->moveMarkRect();
    EXPECT_EQ(below.bottom(), grid->visualRect(window->gridModel()->index(4, 0)).bottom());
    const QImage shown = grid->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(below.center()), QColor(Qt::white));
    gui::testing::moveTo(grid->viewport(), cellCentre(0, 0));
    EXPECT_EQ(grid->moveMarkRect().top(), 0);
    gui::testing::release(grid->viewport(), cellCentre(0, 0));
    EXPECT_TRUE(grid->moveMarkRect().isNull());
    EXPECT_EQ(title(1), "r2");
}

}  // namespace
}  // namespace pelvano::test
