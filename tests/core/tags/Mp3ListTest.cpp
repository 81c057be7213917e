// The MP3 list's model: the list file, files added from a drop, the row operations, and the
// single and batch updates of the files' tags.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/app/Encoding.h"
#include "core/ports/EventPump.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleEdits.h"
#include "core/tags/Mp3List.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/Mp3ListLayout.h"
#include "core/tags/Mp3ListUpdate.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

namespace fs = std::filesystem;
using test::MpegAudio;
using test::StandardTag;
using test::TextFrame;

// Files whose name holds "bad" cannot be measured; every other one lasts 61.5 s.
struct NameMeasurer : DurationMeasurer {
    long long measureMs(const std::string& path) override {
        if (path.find("bad") != std::string::npos) throw std::runtime_error("cannot open");
        return 61500;
    }
};

struct CallbackPump : EventPump {
    std::function<void()> onPump;
    void processPendingEvents() override {
        if (onPump) onPump();
    }
};

struct RecordingView : Mp3BatchView {
    std::vector<std::string> reports;
    std::vector<int> rows;
    void batchProgress(int row, int) override { rows.push_back(row); }
    void batchReport(const std::string& line) override { reports.push_back(GbkToUtf8(line)); }
};

class Mp3ListTest : public ::testing::Test {
  protected:
    std::string mp3(const std::string& name, std::string_view tagBytes = {}) {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        return dir.write(name, std::string(tagBytes) + MpegAudio(3));
    }
    std::vector<std::string> column(int col) const {
        std::vector<std::string> cells;
        for (int row = 1; row < list.sgSong.rowCount(); ++row)
            cells.push_back(GbkToUtf8(list.sgSong.cell(col, row)));
        return cells;
    }
    test::TempDir dir;
    NameMeasurer measurer;
    CallbackPump pump;
    TID3v2Tag tag;
    Mp3List list{StoredPathResolver(dir.path().string() + "/", ""), &measurer, &pump, tag};
};

TEST_F(Mp3ListTest, ListFileRoundTripAndOlderFiles) {
    list.InsertFiles(1, {mp3("Song One.mp3"), mp3("两.MP3")});
    const std::string path = dir.file("list.mpl");
    ASSERT_TRUE(SaveList(path, list.sgSong));
    const std::string bytes = dir.read("list.mpl");
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n") + 2),
              "    1^^Song One^^^^00:01:01^^" + dir.file("Song One.mp3") + "^^\r\n");

    Grid loaded;
    LoadList(path, loaded);
    ASSERT_EQ(loaded.dataRowCount(), 2);
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(RowToLine(loaded, row), RowToLine(list.sgSong, row));
    EXPECT_EQ(loaded.cell(0, 0), Gbk(" 序号"));

    // A list of the older system: GBK, Windows paths, numbers of another order, an extra field.
    dir.write("old.mpl", Utf8ToGbk("   7^^晚风^^林^^00:03:10^^D:\\MUSIC\\A.MP3^^x^^\r\n^^\r\n"));
    LoadList(dir.file("old.mpl"), loaded);
    ASSERT_EQ(loaded.dataRowCount(), 2);
    EXPECT_EQ(loaded.colCount(), 5);
    EXPECT_EQ(loaded.cell(0, 1), "    1");
    EXPECT_EQ(loaded.cell(1, 1), Utf8ToGbk("晚风"));
    EXPECT_EQ(loaded.cell(4, 1), "D:\\MUSIC\\A.MP3");
    EXPECT_EQ(loaded.cell(0, 2), "    2");

    for (const std::string& missing : {dir.file("none.mpl"), dir.path().string()}) {
        LoadList(missing, loaded);
        EXPECT_EQ(loaded.dataRowCount(), 1);
        EXPECT_EQ(loaded.cell(0, 1), "    1");
        EXPECT_EQ(loaded.cell(4, 1), "");
    }
    std::string error;
    EXPECT_FALSE(SaveList(dir.file("no/such/folder/x.mpl"), list.sgSong, &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(Mp3ListTest, DroppedFoldersBringEveryMp3BelowThemOnce) {
    mp3("music/b.mp3");
    mp3("music/A.Mp3");
    mp3("music/sub/c.MP3");
    dir.write("music/notes.txt", "x");
    mp3("music/bad.mp3");  // cannot be measured
    fs::create_directory_symlink("..", dir.file("music/sub/loop"));
    fs::create_directory_symlink(dir.file("music/sub"), dir.file("music/zlink"));
    const std::vector<std::string> files = CollectDroppedFiles({dir.file("music")}, nullptr);
    const std::string m = dir.file("music");
    EXPECT_EQ(files, (std::vector<std::string>{m + "/A.Mp3", m + "/b.mp3", m + "/bad.mp3",
                                               m + "/notes.txt", m + "/sub/c.MP3"}));

    int pumps = 0;
    pump.onPump = [&] { ++pumps; };
    const auto dropped = CollectDroppedFiles({dir.file("music"), mp3("single.mp3")}, &pump);
    EXPECT_EQ(list.InsertFiles(1, dropped), 4);
    EXPECT_GE(pumps, 2 + 6);
    // Spelled as the file system spells them, in drop order; the empty list's row is gone.
    EXPECT_EQ(column(kListColFile),
              (std::vector<std::string>{m + "/A.Mp3", m + "/b.mp3", m + "/sub/c.MP3",
                                        dir.file("single.mp3")}));
    EXPECT_EQ(column(kListColNumber),
              (std::vector<std::string>{"    1", "    2", "    3", "    4"}));
    EXPECT_EQ(column(kListColLength)[0], "00:01:01");

    // Dropped before row 2.
    list.InsertFiles(2, {mp3("x.mp3")});
    EXPECT_EQ(column(kListColFile)[1], dir.file("x.mp3"));
    EXPECT_EQ(list.sgSong.dataRowCount(), 5);
}

TEST_F(Mp3ListTest, RowsTakeTitleAndArtistFromTheTagOrTheBaseName) {
    const std::string tagged =
        mp3("t.mp3", StandardTag(TextFrame("TIT2", Utf8ToGbk("晚风")) + TextFrame("TPE1", "Lin")));
    const std::string emptyTitle = mp3("A.B.MP3", StandardTag(TextFrame("TPE1", "Only artist")));
    const std::string plain = mp3("plain.mp3");
    list.InsertFiles(1, {tagged, emptyTitle, plain});
    EXPECT_EQ(column(kListColTitle), (std::vector<std::string>{"晚风", "A", "plain"}));
    EXPECT_EQ(column(kListColArtist), (std::vector<std::string>{"Lin", "Only artist", ""}));

    // Without a measuring path (no sound device) files are still listed, with no length.
    Mp3List unmeasured(StoredPathResolver(dir.path().string() + "/", ""), nullptr, nullptr, tag);
    EXPECT_EQ(unmeasured.InsertFiles(1, {plain, mp3("bad.mp3")}), 2);
    EXPECT_EQ(unmeasured.sgSong.cell(kListColLength, 1), "");
}

TEST_F(Mp3ListTest, LineBreaksStayOutOfTheRows) {
    const std::string twoLines =
        mp3("two.mp3", StandardTag(TextFrame("TIT2", "a\r\nb^^c") + TextFrame("TPE1", "x\ny")));
    const std::string broken = mp3("new\nline.mp3");
    std::vector<std::string> refused;
    EXPECT_EQ(list.InsertFiles(1, {broken, twoLines, mp3("cr\r.mp3")}, &refused), 1);
    EXPECT_EQ(refused, (std::vector<std::string>{broken, dir.file("cr\r.mp3")}));
    EXPECT_EQ(column(kListColTitle), (std::vector<std::string>{"a  b^c"}));
    EXPECT_EQ(column(kListColArtist), (std::vector<std::string>{"x y"}));
}

TEST_F(Mp3ListTest, DeleteSelectAllAndMoves) {
    list.InsertFiles(1, {mp3("a.mp3"), mp3("b.mp3"), mp3("c.mp3"), mp3("d.mp3")});
    list.MoveRow(4, 1);
    EXPECT_EQ(column(kListColTitle), (std::vector<std::string>{"d", "a", "b", "c"}));
    EXPECT_EQ(column(kListColNumber)[0], "    1");

    list.sgSong.setSelection({1, 2, 4, 3});
    list.DeleteSelection(true);  // editing: cells emptied, rows stay
    EXPECT_EQ(column(kListColTitle), (std::vector<std::string>{"d", "", "", "c"}));
    list.DeleteSelection(false);
    EXPECT_EQ(column(kListColTitle), (std::vector<std::string>{"d", "c"}));

    list.SelectAll();
    const GridSelection all = list.sgSong.selection();
    EXPECT_EQ(all.left, 1);
    EXPECT_EQ(all.bottom, 2);
    list.DeleteSelection(false);
    EXPECT_EQ(list.sgSong.dataRowCount(), 1);
    EXPECT_EQ(column(kListColNumber), std::vector<std::string>{"    1"});
    EXPECT_EQ(column(kListColFile), std::vector<std::string>{""});
}

TEST_F(Mp3ListTest, BatchUsesEachRowsArtistAndReportsFilesItMustNotTouch) {
    const std::string withArtist = mp3("one.mp3", StandardTag(TextFrame("TPE1", "Row artist")));
    const std::string noArtist = mp3("two.mp3");
    const std::string readOnly = mp3("three.mp3");
    const std::string damaged = mp3("four.mp3");
    list.InsertFiles(1, {withArtist, noArtist, readOnly, damaged});
    list.sgSong.setCell(kListColTitle, 2, Utf8ToGbk("第二首"));
    ::chmod(readOnly.c_str(), 0444);
    // A tag whose size runs past the file: its audio cannot be located.
    dir.write("four.mp3", std::string("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10) + "short");
    const std::string readOnlyBytes = dir.read("three.mp3");

    Mp3ListUpdater updater(list, tag, &pump);
    RecordingView view;
    EXPECT_EQ(updater.RunBatch("Album", Utf8ToGbk("框里的歌手"), view), 2);
    EXPECT_TRUE(updater.BatchStop);
    EXPECT_EQ(view.rows, (std::vector<int>{1, 2, 3, 4}));
    tag.ReadFromFile(withArtist);
    EXPECT_EQ(tag.Artist, "Row artist");
    EXPECT_EQ(tag.Album, "Album");
    tag.ReadFromFile(noArtist);
    EXPECT_EQ(tag.Artist, Utf8ToGbk("框里的歌手"));
    EXPECT_EQ(tag.Title, Utf8ToGbk("第二首"));
    ASSERT_EQ(view.reports.size(), 2u);
    EXPECT_NE(view.reports[0].find("three.mp3"), std::string::npos);
    EXPECT_NE(view.reports[1].find("four.mp3"), std::string::npos);
    EXPECT_EQ(dir.read("three.mp3"), readOnlyBytes);

    // The single update always takes the artist box.
    EXPECT_TRUE(updater.UpdateRow(1, "A2", "Box").written);
    tag.ReadFromFile(withArtist);
    EXPECT_EQ(tag.Artist, "Box");
    // A file that went away is skipped quietly.
    fs::remove(noArtist);
    const TagUpdateResult gone = updater.UpdateRow(2, "A2", "Box");
    EXPECT_FALSE(gone.written);
    EXPECT_TRUE(gone.problem.empty());
}

TEST_F(Mp3ListTest, AStoppedBatchLeavesTheRestUntouched) {
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) files.push_back(mp3("s" + std::to_string(i) + ".mp3"));
    list.InsertFiles(1, files);
    Mp3ListUpdater updater(list, tag, &pump);
    RecordingView view;
    pump.onPump = [&] {
        if (view.rows.size() == 3) updater.BatchStop = true;  // the stop click, between two files
    };
    EXPECT_EQ(updater.RunBatch("Album", "", view), 3);
    for (int i = 0; i < 6; ++i) {
        tag.ReadFromFile(files[static_cast<std::size_t>(i)]);
        EXPECT_EQ(tag.Exists, i < 3) << i;
    }
    EXPECT_FALSE(updater.batchRunning());
}

TEST_F(Mp3ListTest, WindowKeysRoundTrip) {
    const std::string ini = dir.file("settings.ini");
    Mp3ListLayout current{600, 400, 80, "Alb", "Nonebody"};
    const Mp3ListLayout unchanged = ReadListLayout(ini, current);
    EXPECT_EQ(unchanged.clientWidth, 600);
    EXPECT_EQ(unchanged.artist, "Nonebody");
    ASSERT_TRUE(WriteListLayout(ini, {700, 500, 100, Utf8ToGbk("专集一"), ""}));
    const Mp3ListLayout read = ReadListLayout(ini, current);
    EXPECT_EQ(read.clientWidth, 700);
    EXPECT_EQ(read.clientHeight, 500);
    EXPECT_EQ(read.memoHeight, 100);
    EXPECT_EQ(read.album, Utf8ToGbk("专集一"));
    EXPECT_EQ(read.artist, "");  // present though empty

    list.sgSong.setColWidth(4, 333);
    ASSERT_TRUE(WriteListColumnWidths(ini, list.sgSong));
    Grid other(5, 2);
    ReadListColumnWidths(ini, other);
    EXPECT_EQ(other.colWidth(4), 333);
}

}  // namespace
}  // namespace pelvano::core
