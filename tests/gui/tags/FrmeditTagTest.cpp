// The MP3 list window offscreen: its layout and menus, a folder of generated MP3 files dropped
// onto it, the batch update over them (an unreadable and a read-only file among them) and a
// batch stopped half-way with the toggle.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "core/app/Encoding.h"
#include "core/tags/Id3v2Layout.h"
#include "core/tags/TagFile.h"
#include "gui/app/QtPorts.h"
#include "gui/tags/FrmEditText.h"
#include "gui/tags/FrmeditTag.h"
#include "platform/ffmpeg/FfmpegDurationMeasurer.h"
#include "support/ProcessOutput.h"
#include "support/TempDir.h"

namespace pelvano::gui {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// The MPEG audio of a file: what follows its ID3v2 tag.
std::string audioOf(const std::string& path) {
    const core::Id3v2Layout layout = core::InspectId3v2(core::TagFile(path));
    return readBytes(path).substr(layout.audioStart.value_or(0));
}

class FrmeditTagTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "ffmpeg is not installed";
        // One generated song, copied under 50 names with their own Chinese titles.
        const std::string base = dir.file("base.mp3");
        pelvano::test::RunOutput(
            "ffmpeg -v error -f lavfi -i sine=frequency=330:duration=1 -c:a libmp3lame -b:a 64k '" +
            base + "'");
        fs::create_directories(dir.file("music/歌曲集"));
        for (int i = 1; i <= 50; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s/歌曲%02d.mp3", i <= 30 ? "music" : "music/歌曲集",
                          i);
            const std::string path = dir.file(name);
            fs::copy_file(base, path);
            core::TID3v2Tag tag;
            tag.ReadFromFile(path);
            tag.Title = core::Utf8ToGbk("北京欢迎你" + std::to_string(i));
            if (i % 2) tag.Artist = "Row artist";
            ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
            files.push_back(path);
        }
        setup.applicationDir = dir.path().string() + "/";
        setup.settingsFile = dir.file("settings.ini");
        setup.measurer = &measurer;
        setup.pump = &pump;
        window = std::make_unique<TFrmeditTag>(setup);
        window->show();
        window->dropFiles(1, {QString::fromStdString(dir.file("music"))});
    }
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> bytes;
        for (const std::string& f : files) bytes[f] = readBytes(f);
        return bytes;
    }

    test::TempDir dir;
    platform::FfmpegDurationMeasurer measurer;
    QtEventPump pump;
    TagWindowSetup setup;
    std::vector<std::string> files;
    std::unique_ptr<TFrmeditTag> window;
};

TEST_F(FrmeditTagTest, LayoutMenusAndTheDroppedFolder) {
    EXPECT_EQ(window->windowTitle(), " MP3文件标题信息更新 【MP3列表.mpl】");
    QStringList items;
    for (QAction* menu : window->menuBar()->actions()) {
        items << menu->text();
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? "-" : item->text());
    }
    EXPECT_EQ(items,
              QStringList({"文件", "打开列表", "编辑表格", "保存表格", "-", "删除选择", "-", "退出",
                           "更新标签", "批量更新专集和歌手", "更新当前记录", "-", "歌词编辑"}));
    EXPECT_EQ(window->edArtor->text(), "Nonebody");
    EXPECT_EQ(window->sgSong->rowHeight(0), 15);
    EXPECT_EQ(window->sgSong->columnWidth(1), 111);
    EXPECT_EQ(window->sgSong->model()->headerData(0, Qt::Horizontal), " 序号");

    // Every file of the folder and its sub-folder, in order, measured, titled from the tag.
    const core::Grid& grid = window->list().sgSong;
    ASSERT_EQ(grid.dataRowCount(), 50);
    EXPECT_EQ(core::GbkToUtf8(grid.cell(1, 1)), "北京欢迎你1");
    EXPECT_EQ(grid.cell(3, 1), "00:00:01");
    EXPECT_EQ(core::GbkToUtf8(grid.cell(4, 50)), files[49]);
    EXPECT_EQ(grid.cell(0, 50), "   50");

    // Drops onto the header row or outside the rows do nothing.
    window->dropFiles(0, {QString::fromStdString(files[0])});
    window->dropFiles(51, {QString::fromStdString(files[0])});
    EXPECT_EQ(grid.dataRowCount(), 50);

    // The wheel moves the top row by one.
    window->resize(700, 400);
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window->sgSong->viewport(), &down);
    EXPECT_EQ(window->sgSong->rowAt(1), 1);
    // Double-click shows the file's tag in the memo.
    window->sgSongDblClick(window->sgSong->model()->index(0, 1));
    EXPECT_TRUE(window->Memo1->toPlainText().startsWith("标题: 北京欢迎你1\n艺人: Row artist"));

    // The list is saved and loads again.
    window->N9Click();
    window->list().sgSong.setRowCount(2);
    window->LoadList(dir.file("MP3列表.mpl"));
    EXPECT_EQ(window->list().sgSong.dataRowCount(), 50);
}

TEST_F(FrmeditTagTest, LineBreaksInNamesOrTitlesNeverSplitARowOfTheListFile) {
    const std::string broken = dir.file("new\nline.mp3");
    const std::string twoLineTitle = dir.file("two.mp3");
    fs::copy_file(files[0], broken);
    fs::copy_file(files[0], twoLineTitle);
    core::TID3v2Tag tag;
    tag.ReadFromFile(twoLineTitle);
    tag.Title = core::Utf8ToGbk("第一行\r\n第二行");
    ASSERT_TRUE(tag.SaveToFile(twoLineTitle, false).replaced);
    window->dropFiles(1, {QString::fromStdString(broken), QString::fromStdString(twoLineTitle)});

    // The file with a line break in its name is refused, and told.
    const core::Grid& grid = window->list().sgSong;
    ASSERT_EQ(grid.dataRowCount(), 51);
    EXPECT_EQ(core::GbkToUtf8(grid.cell(1, 1)), "第一行  第二行");
    EXPECT_TRUE(window->Memo1->toPlainText().contains("文件名中有换行，不能加入列表: " +
                                                      QString::fromStdString(broken)));
    // A typed cell gets the same guard.
    window->sgSong->model()->setData(window->sgSong->model()->index(1, 2), "甲\n乙^^丙");
    EXPECT_EQ(core::GbkToUtf8(grid.cell(2, 2)), "甲 乙^丙");

    // Saved and opened again: the same rows.
    window->N9Click();
    window->LoadList(dir.file("MP3列表.mpl"));
    ASSERT_EQ(window->list().sgSong.dataRowCount(), 51);
    EXPECT_EQ(core::GbkToUtf8(window->list().sgSong.cell(1, 1)), "第一行  第二行");
    EXPECT_EQ(core::GbkToUtf8(window->list().sgSong.cell(4, 2)), files[0]);
}

TEST_F(FrmeditTagTest, BatchUpdateWritesEveryWritableFileAndLeavesTheOthersAlone) {
    const std::string unreadable = files[10], readOnly = files[40];
    ::chmod(unreadable.c_str(), 0);
    ::chmod(readOnly.c_str(), 0444);
    std::map<std::string, std::string> audio;
    for (const std::string& f : files)
        if (f != unreadable) audio[f] = audioOf(f);
    const std::map<std::string, std::string> before = snapshot();
    const QString caption = window->windowTitle();
    const std::string samples =
        pelvano::test::RunOutput("ffmpeg -v error -i '" + files[5] + "' -f s16le -");

    window->edCommt->setText("专集一");
    window->edArtor->setText("框里的歌手");
    window->btnModify->trigger();

    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(window->btnModify->text(), "更新");
    EXPECT_TRUE(window->updater().BatchStop);
    const QString memo = window->Memo1->toPlainText();
    EXPECT_TRUE(memo.contains("歌曲11.mp3")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("歌曲41.mp3")) << memo.toStdString();
    EXPECT_EQ(readBytes(readOnly), before.at(readOnly));
    ::chmod(unreadable.c_str(), 0644);
    EXPECT_EQ(readBytes(unreadable), before.at(unreadable));

    core::TID3v2Tag tag;
    for (int i = 0; i < 50; ++i) {
        const std::string& f = files[static_cast<std::size_t>(i)];
        if (f == unreadable || f == readOnly) continue;
        tag.ReadFromFile(f);
        EXPECT_EQ(core::GbkToUtf8(tag.Album), "专集一") << f;
        EXPECT_EQ(core::GbkToUtf8(tag.Artist), i % 2 == 0 ? "Row artist" : "框里的歌手") << f;
        EXPECT_EQ(core::GbkToUtf8(tag.Title), "北京欢迎你" + std::to_string(i + 1)) << f;
        EXPECT_EQ(audioOf(f), audio.at(f)) << f;
        const std::string probe = pelvano::test::RunOutput(
            "ffprobe -v error -show_entries format_tags=album -of csv=p=0 '" + f + "'");
        EXPECT_EQ(probe, "专集一\n") << f;
    }
    EXPECT_EQ(pelvano::test::RunOutput("ffmpeg -v error -i '" + files[5] + "' -f s16le -"),
              samples);
    // No temporary file stays behind.
    for (const auto& entry : fs::recursive_directory_iterator(dir.file("music")))
        EXPECT_TRUE(entry.is_directory() || entry.path().extension() == ".mp3") << entry.path();
}

// The batch's memo holds only its own problems, the first of them in sight at the end.
TEST_F(FrmeditTagTest, TheBatchMemoStartsEmptyAndEndsAtItsFirstProblem) {
    for (const std::string& f : files) ::chmod(f.c_str(), 0444);
    for (int i = 0; i < 100; ++i) window->Memo1->appendPlainText("旧的一行");
    window->btnModify->trigger();
    const QString memo = window->Memo1->toPlainText();
    EXPECT_FALSE(memo.contains("旧的一行"));
    EXPECT_TRUE(memo.section('\n', 0, 0).contains("歌曲01.mp3")) << memo.toStdString();
    EXPECT_GT(window->Memo1->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(window->Memo1->verticalScrollBar()->value(), 0);
    for (const std::string& f : files) ::chmod(f.c_str(), 0644);
}

TEST_F(FrmeditTagTest, AStopHalfWayLeavesTheRestUntouched) {
    const std::map<std::string, std::string> before = snapshot();
    // The operator clicks the toggle while the caption shows the 25th file.
    QObject::connect(window.get(), &QWidget::windowTitleChanged, [this](const QString& title) {
        if (title == "25/50") window->btnModify->trigger();
    });
    window->edCommt->setText("专集二");
    window->btnModify->trigger();
    EXPECT_EQ(window->windowTitle(), " MP3文件标题信息更新 【MP3列表.mpl】");
    core::TID3v2Tag tag;
    for (int i = 0; i < 50; ++i) {
        const std::string& f = files[static_cast<std::size_t>(i)];
        if (i < 25) {
            tag.ReadFromFile(f);
            EXPECT_EQ(core::GbkToUtf8(tag.Album), "专集二") << f;
        } else {
            EXPECT_EQ(readBytes(f), before.at(f)) << f;
        }
    }
}

// A song copied from Windows with its GBK name (not UTF-8), dropped as a file manager sends
// it: the memo and the row read the name as GBK, the tag is read and updated.
TEST_F(FrmeditTagTest, ANameInGbkBytesIsListedTaggedAndShown) {
    const std::string folder = dir.file("\xB8\xE8\xC7\xFA");  // 歌曲
    fs::create_directories(folder);
    const std::string song = folder + "/\xB1\xB1\xBE\xA9.mp3";  // 北京
    fs::copy_file(files[0], song);
    QMimeData mime;
    mime.setData("text/uri-list",
                 "file://" + QByteArray::fromStdString(folder).toPercentEncoding("/") + "\r\n");
    const QPoint at = window->sgSong->visualRect(window->sgSong->model()->index(0, 1)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->sgSong->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->sgSong->viewport(), &drop);

    EXPECT_TRUE(window->Memo1->toPlainText().endsWith("/歌曲/北京.mp3"))
        << window->Memo1->toPlainText().toStdString();
    const core::Grid& grid = window->list().sgSong;
    ASSERT_EQ(grid.dataRowCount(), 51);
    EXPECT_EQ(core::GbkToUtf8(grid.cell(1, 1)), "北京欢迎你1");  // from its tag
    EXPECT_EQ(grid.cell(3, 1), "00:00:01");
    EXPECT_EQ(window->list().fileOf(1), song);
    window->edCommt->setText("专集三");
    window->sgSong->setCurrentIndex(window->sgSong->model()->index(0, 1));
    window->N12Click();
    core::TID3v2Tag tag;
    tag.ReadFromFile(song);
    EXPECT_EQ(core::GbkToUtf8(tag.Album), "专集三");
}

// Both windows over the dropped files, as the operator's guide shows them (written to PELVANO_SHOTS_DIR
// when it is set).
TEST_F(FrmeditTagTest, ScreenshotsOfBothWindows) {
    window->resize(820, 460);
    window->sgSong->selectRow(2);
    window->sgSongDblClick(window->sgSong->model()->index(2, 1));
    TFrmEditText editor(window->sharedTag());
    core::TID3v2Tag tag;
    tag.ReadFromFile(files[2]);
    tag.Artist = core::Utf8ToGbk("刘欢 那英");
    tag.Album = core::Utf8ToGbk("北京2008");
    tag.Year = "2008";
    tag.Lyrics = core::Utf8ToGbk(
        "[00:01.00]迎接另一个晨曦\r\n[00:05.00]带来全新空气\r\n[00:09.00]气息改变情味不变");
    ASSERT_TRUE(tag.SaveToFile(files[2], false).replaced);
    editor.LoadFile(files[2]);
    editor.show();
    QCoreApplication::processEvents();
    const QImage list = window->grab().toImage();
    const QImage text = editor.grab().toImage();
    for (const QImage& image : {list, text}) {
        // Not blank: the picture holds many colours (text, grid lines, controls).
        std::set<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 20u);
    }
    if (const QByteArray shots = qgetenv("PELVANO_SHOTS_DIR"); !shots.isEmpty()) {
        list.save(QString::fromUtf8(shots) + "/tag-list-window.png");
        text.save(QString::fromUtf8(shots) + "/tag-text-editor.png");
    }
}

}  // namespace
}  // namespace pelvano::gui
