// A folder copied from Windows without converting its names (GBK bytes, not UTF-8), created
// here: dropped onto the schedule window it gives rows with the names read as GBK, the rows
// play, and their lyrics are found beside them under the same kind of name.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <filesystem>

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"
#include "core/lyrics/LoadLyrics.h"
#include "core/playout/StationFixture.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/ScheduleGridModel.h"
#include "gui/schedule/ScheduleGridView.h"

namespace pelvano::test {
namespace {

const std::string kSongsGbk = "\xB8\xE8\xC7\xFA";    // 歌曲
const std::string kBeijingGbk = "\xB1\xB1\xBE\xA9";  // 北京

// A file URL as a file manager writes it: every byte of the name percent-encoded.
QByteArray fileUrl(const std::string& path) {
    return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/");
}

class GbkNamedFilesTest : public StationFixture {};

TEST_F(GbkNamedFilesTest, DroppedRowsPlayAndFindTheirLyrics) {
    setKey("chkManOper", "YES");
    writeSchedule({{""}});
    std::filesystem::create_directories(paths.applicationDir + kSongsGbk);
    const std::string song = kSongsGbk + "/" + kBeijingGbk + ".wav";
    addSound(song, 30);
    dir.write(kSongsGbk + "/" + kBeijingGbk + ".lrc", "[00:01.00]" + core::Gbk("北京的歌"));
    startStation();
    gui::TFrmPlayJM window(*station);
    window.resize(600, 300);
    window.show();
    window.repaintSchedule();

    QMimeData mime;
    mime.setData("text/uri-list", fileUrl(paths.applicationDir + kSongsGbk) + "\r\n");
    QWidget* viewport = window.sgJM()->viewport();
    const QPoint at =
        window.sgJM()->visualRect(window.gridModel()->index(0, core::kColTitle)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);

    const core::Grid& grid = station->table().sgJM;
    ASSERT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(core::GbkToUtf8(grid.cell(core::kColTitle, 1)), "北京");
    EXPECT_EQ(grid.cell(core::kColFile, 1),
              core::StoredFormOfNativePath(paths.applicationDir + song));
    EXPECT_TRUE(window.gridModel()
                    ->index(0, core::kColFile)
                    .data()
                    .toString()
                    .endsWith(QStringLiteral("北京.wav")));
    EXPECT_EQ(grid.cell(core::kColLength, 1), "00:00:30");

    station->table().sgJM.setCurrentRow(1);
    station->items().btnPlayClick();
    runUntilTime(7, 59, 55);
    EXPECT_GE(countOf("<北京.wav>"), 2) << ::testing::PrintToString(messages());  // start, fade-in
    EXPECT_EQ(countOf("播放成功并淡入"), 1) << ::testing::PrintToString(messages());

    core::Id3v2LyricsTag tags;
    core::LyricsState lyrics;
    EXPECT_TRUE(
        core::LoadLyrics(grid.cell(core::kColFile, 1), false, {station->resolver(), tags}, lyrics));
    ASSERT_FALSE(lyrics.rawLines.empty());
    EXPECT_EQ(core::GbkToUtf8(lyrics.rawLines[0]), "[00:01.00]北京的歌");
}

}  // namespace
}  // namespace pelvano::test
