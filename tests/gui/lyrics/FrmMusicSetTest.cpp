// The lyrics editor window over a playing song: timing lines with "取当前时间" and storing them
// in the MP3 file, the controls that edit mode enables, the display settings and their writes,
// and the grid's row and selection kept in step with the table the commands work on.
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "LyricsWindowFixture.h"
#include "core/app/TextHelpers.h"
#include "core/lyrics/LoadLyrics.h"
#include "core/lyrics/LrcText.h"
#include "gui/MouseEvents.h"

namespace pelvano::test {
namespace {

class FrmMusicSetTest : public LyricsWindowFixture {
  protected:
    void SetUp() override {
        song = makeSong("song.mp3",
                        {"[ti:晚风]", "[00:30.00]晚风轻轻吹过山岗", "[00:40.00]灯火一盏一盏亮起",
                         "[00:50.00]我们唱着回家的歌", "[00:55.00]远方的人在等待"});
        if (song.empty()) GTEST_SKIP() << "no MP3 encoder";
        samples = DecodedSamples(song);
        startWithWindows("song.mp3");
    }
    template <typename T>
    T* control(const char* name) {
        T* w = editorWindow->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    QTableWidget& grid() { return *control<QTableWidget>("sgMusicText"); }
    core::LyricsTable& table() { return music->lyrics().table; }
    std::string timeOf(int row) { return table().timeOf(row); }

    std::string song;
    std::string samples;
};

TEST_F(FrmMusicSetTest, LinesTimedWhilePlayingAreStoredInTheMp3File) {
    ASSERT_EQ(table().lastDataRow(), 4);
    click("chkEditMusic");
    EXPECT_TRUE(station->state().PlayoutHold);
    ASSERT_TRUE(control<QPushButton>("btnSetTime")->isEnabled());
    ASSERT_TRUE(control<QPushButton>("btnSaveLrctoMP3")->isEnabled());

    std::vector<std::string> expected;
    for (int ms : {2000, 4500, 7250}) {
        runToPosition(ms);
        expected.push_back(core::FormatMinSec(position()));
        click("btnSetTime");
    }
    EXPECT_EQ(grid().currentRow(), 3);  // the fourth line is next
    EXPECT_EQ(grid().item(0, 0)->text().toStdString(), expected[0]);
    EXPECT_EQ(timeOf(1), expected[0]);
    EXPECT_EQ(timeOf(2), expected[1]);
    EXPECT_EQ(timeOf(3), expected[2]);
    EXPECT_EQ(timeOf(4), "00:55.00");

    const int before = position();
    click("btnSaveLrctoMP3");
    keepShot(shot(*editorWindow), "lyrics-editor.png");
    core::TcbDSMixerChannel& ch = *station->state().CurrentChannel;
    EXPECT_EQ(ch.State(), core::ChannelState::Playing);
    EXPECT_NEAR(ch.Position(), before, 60);
    EXPECT_TRUE(control<QPlainTextEdit>("mm")->toPlainText().startsWith(
        QString::fromStdString("[" + expected[0] + "]晚风轻轻吹过山岗")));
    EXPECT_EQ(core::GbkToUtf8(dir.read("song.lrc")).substr(0, 10), "[" + expected[0] + "]");

    // Read back from the file as the next item start would, and the audio is untouched.
    sim.advanceBy(500);
    music->itemStarted(song);
    ASSERT_EQ(table().lastDataRow(), 4);
    EXPECT_EQ(timeOf(1), expected[0]);
    EXPECT_EQ(timeOf(2), expected[1]);
    EXPECT_EQ(timeOf(3), expected[2]);
    EXPECT_EQ(core::GbkToUtf8(table().textOf(3)), "我们唱着回家的歌");
    EXPECT_EQ(grid().item(2, 1)->text(), QStringLiteral("我们唱着回家的歌"));
    EXPECT_EQ(DecodedSamples(song), samples);

    click("chkEditMusic");
    EXPECT_FALSE(station->state().PlayoutHold);
}

TEST_F(FrmMusicSetTest, EditModeEnablesExactlyTheEditorsControls) {
    const char* editing[] = {"btnInsertText", "btnAddText",  "btnCopyText",      "btnDeleteText",
                             "btnSetTime",    "btnTwoRow",   "btnTrim",          "btnEqual",
                             "btnAddTime",    "spAddTime",   "btnSaveMusicText", "btnSaveLrctoMP3",
                             "chkPause",      "btnInputLrc", "btnPlay"};
    for (const char* name : editing) EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(grid().editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid().selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(control<QWidget>("chkEditMusic")->isEnabled());
    click("chkEditMusic");
    for (const char* name : editing) EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_NE(grid().editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid().selectionBehavior(), QAbstractItemView::SelectItems);

    // A cell typed into reaches the table.
    grid().item(1, 1)->setText(QStringLiteral("新的一行"));
    EXPECT_EQ(core::GbkToUtf8(table().textOf(2)), "新的一行");

    // Continue resumes a paused item; "取时间时暂停" pauses it first.
    click("chkPause");
    click("btnSetTime");
    EXPECT_EQ(station->state().CurrentChannel->State(), core::ChannelState::Paused);
    click("btnPlay");
    EXPECT_EQ(station->state().CurrentChannel->State(), core::ChannelState::Playing);
}

TEST_F(FrmMusicSetTest, ShiftActsOnTheRowOrTheRangeTheOperatorIsOn) {
    click("chkEditMusic");
    control<QSpinBox>("spAddTime")->setValue(5);
    // A click on the third line, then Shift: that line moves, no other.
    grid().setCurrentCell(2, 1);
    click("btnAddTime");
    EXPECT_EQ(timeOf(1), "00:30.00");
    EXPECT_EQ(timeOf(3), "00:55.00");
    // Timing moves the current row on; Shift follows it.
    click("btnSetTime");
    click("btnAddTime");
    EXPECT_EQ(timeOf(4), "01:00.00");
    EXPECT_EQ(timeOf(3), core::FormatMinSec(position()));
    // A range selected with the mouse moves as a whole.
    grid().setCurrentCell(0, 0);
    grid().setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 0), true);
    click("btnAddTime");
    EXPECT_EQ(timeOf(1), "00:35.00");
    EXPECT_EQ(timeOf(2), "00:45.00");
    EXPECT_EQ(timeOf(4), "01:00.00");
    // Insert follows the current line and the grid shows the new row.
    grid().setCurrentCell(0, 1);
    click("btnInsertText");
    EXPECT_EQ(grid().rowCount(), 5);
    EXPECT_EQ(grid().item(1, 0)->text(), QStringLiteral("00:40.00"));
    EXPECT_EQ(grid().item(1, 1)->text(), QString());
}

TEST_F(FrmMusicSetTest, InEditModeARangeMadeWithTheMouseIsShiftedAsAWhole) {
    editorWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editorWindow.get()));
    click("chkEditMusic");
    control<QSpinBox>("spAddTime")->setValue(5);
    QWidget* cells = grid().viewport();
    const auto centre = [&](int row) {
        return grid().visualItemRect(grid().item(row, 1)).center();
    };

    // Dragged across the first three lines.
    gui::testing::press(cells, centre(0));
    gui::testing::moveTo(cells, centre(1));
    gui::testing::moveTo(cells, centre(2));
    gui::testing::release(cells, centre(2));
    click("btnAddTime");
    EXPECT_EQ(timeOf(1), "00:35.00");
    EXPECT_EQ(timeOf(2), "00:45.00");
    EXPECT_EQ(timeOf(3), "00:55.00");
    EXPECT_EQ(timeOf(4), "00:55.00");

    // A click on the second line and a shift-click on the fourth.
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier, centre(1));
    QTest::mouseClick(cells, Qt::LeftButton, Qt::ShiftModifier, centre(3));
    click("btnAddTime");
    EXPECT_EQ(timeOf(1), "00:35.00");
    EXPECT_EQ(timeOf(2), "00:50.00");
    EXPECT_EQ(timeOf(3), "01:00.00");
    EXPECT_EQ(timeOf(4), "01:00.00");
}

TEST_F(FrmMusicSetTest, AnItemWithoutLyricsLeavesNoLinesOfThePreviousSong) {
    ASSERT_FALSE(control<QPlainTextEdit>("mm")->toPlainText().isEmpty());
    addSound("plain.wav", 5);
    music->itemStarted(dir.file("plain.wav"));
    EXPECT_EQ(control<QPlainTextEdit>("mm")->toPlainText(), QString());
    EXPECT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(grid().item(0, 1)->text(), QString());
}

TEST_F(FrmMusicSetTest, AnImportedFileReplacesTheTableUntilItIsSaved) {
    // Saved on Linux: UTF-8 without a byte order mark.
    dir.write("other.lrc", "[00:01.00]第一句\n[00:02.50]第二句\n");
    click("chkEditMusic");
    editorWindow->importLyricsFile(QString::fromStdString(dir.file("other.lrc")));
    ASSERT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().item(1, 1)->text(), QStringLiteral("第二句"));
    EXPECT_EQ(control<QPlainTextEdit>("mm")->toPlainText(),
              QStringLiteral("[00:01.00]第一句\n[00:02.50]第二句"));
    EXPECT_EQ(dir.read("song.lrc"), "");
    EXPECT_EQ(core::Id3v2LyricsTag().readLyrics(song).find(core::Gbk("第一句")), std::string::npos);
    // The display shows them from the next line change or jump on.
    station->items().PBMouseUp(200, 1000);  // to about 4 s
    EXPECT_EQ(core::GbkToUtf8(music->lastFrame().lines[0].text), "第二句");
    // "保存歌词到文件" writes them beside the song: a new file in UTF-8 under the default tag
    // text setting, and a file that is there in its own encoding.
    click("btnSaveMusicText");
    EXPECT_EQ(dir.read("song.lrc"), "[00:01.00]第一句\r\n[00:02.50]第二句\r\n");
    dir.write("song.lrc", core::Gbk("[00:09.00]旧的\r\n"));
    click("btnSaveMusicText");
    EXPECT_EQ(dir.read("song.lrc"), core::Gbk("[00:01.00]第一句\r\n[00:02.50]第二句\r\n"));
}

TEST_F(FrmMusicSetTest, DisplaySettingsAreWrittenAndApplied) {
    const std::string ini = paths.settingsFile();
    EXPECT_EQ(control<QSpinBox>("spMW")->value(), 420);
    EXPECT_EQ(music->size(), QSize(420, 140));
    EXPECT_EQ(control<QComboBox>("chkMusicTextCenter")->currentIndex(), 1);

    // Written the moment they change.
    control<QComboBox>("chkMusicTextCenter")->setCurrentIndex(2);
    emit control<QComboBox>("chkMusicTextCenter")->activated(2);
    EXPECT_EQ(core::IniRead(ini, "Music", "chkMusicTextCenter"), "2");
    click("chkInMP3lrcFirst");
    EXPECT_EQ(core::IniRead(ini, "Music", "chkInMP3lrcFirst"), "NO");
    click("chkPlaySongText");
    EXPECT_EQ(core::IniRead(ini, "Music", "chkPlaySongText"), "NO");
    EXPECT_TRUE(music->isVisible());  // until applied
    editorWindow->chooseCurrentLineColor(QColor(0, 255, 0));
    EXPECT_EQ(core::IniRead(ini, "Music", "plCurTextColorG"), "255");

    // Kept until applied.
    control<QSpinBox>("spML")->setValue(33);
    control<QSpinBox>("spMH")->setValue(90);
    control<QSpinBox>("spTransMusic")->setValue(255);
    editorWindow->chooseUnderlineColor(QColor(0, 0, 255));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(14);
    editorWindow->chooseFont(font, QColor(255, 255, 0));
    EXPECT_EQ(core::IniRead(ini, "Music", "Left"), "0");
    EXPECT_EQ(core::IniRead(ini, "Music", "plMusicFrameColorB"), "0");
    click("btnApplyMusic");
    EXPECT_EQ(core::IniRead(ini, "Music", "Left"), "33");
    EXPECT_EQ(core::IniRead(ini, "Music", "Height"), "90");
    EXPECT_EQ(core::IniRead(ini, "Music", "spTransMusic"), "255");
    EXPECT_EQ(core::IniRead(ini, "Music", "plMusicFrameColorB"), "255");
    const std::string storedFont = core::GbkToUtf8(core::IniRead(ini, "Music", "Font"));
    EXPECT_NE(storedFont.find("WenQuanYi Micro Hei"), std::string::npos) << storedFont;
    EXPECT_NE(storedFont.find("14"), std::string::npos) << storedFont;
    EXPECT_EQ(music->settings().plMusicFont().size, 14);
    EXPECT_EQ(music->settings().plMusicFont().color, core::MakeColor(255, 255, 0));
    EXPECT_EQ(music->pos().x(), 33);
    EXPECT_EQ(music->height(), 90);
    EXPECT_DOUBLE_EQ(music->windowOpacity(), 1.0);
    EXPECT_FALSE(music->isVisible());
}

}  // namespace
}  // namespace pelvano::test
