// nowplaying.json and the listener, at every item start of a station in virtual time.
#include <fcntl.h>
#include <unistd.h>

#include "StationFixture.h"
#include "core/app/AtomicFile.h"
#include "core/app/FileHelpers.h"
#include "core/playout/NowPlayingFile.h"

namespace pelvano::test {
namespace {

struct Heard {
    core::NowPlayingItem item;
    std::string fileThen;  // nowplaying.json once the writes queued by then were done
};

struct RecordingListener : core::NowPlayingListener {
    std::string path;
    std::function<void()> settle;  // waits for the queued writes
    std::vector<Heard> heard;
    void nowPlaying(const core::NowPlayingItem& item) override {
        settle();
        std::string bytes;
        core::ReadFileBytes(path, bytes);
        heard.push_back({item, bytes});
    }
};

class NowPlayingTest : public StationFixture {
  protected:
    NowPlayingTest() {
        listener.path = paths.applicationDir + "nowplaying.json";
        listener.settle = [this] {
            ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
        };
        nowPlaying = &listener;
        setKey("chkManOper", "NO");
        setKey("spOver", "10");
        setKey("spIN", "0");
        setKey("spOut", "2");
    }
    std::int64_t tickAt(int h, int m, int s) {
        return sim.clock().tickUsAt({2026, 12, 7, h, m, s});
    }
    RecordingListener listener;
};

TEST(NowPlayingJson, HoldsTheItemTheTimeAndTheScheduleEscaped) {
    const core::NowPlayingItem item{7, "say \"hi\"", "林晓", "D:\\音乐\\晨光.mp3", 0, 252'042};
    EXPECT_EQ(core::NowPlayingJson(item, {2026, 12, 7, 8, 0, 5, 42}, "节目表.JMB"),
              "{\n"
              "  \"title\": \"say \\\"hi\\\"\",\n"
              "  \"artist\": \"林晓\",\n"
              "  \"file\": \"D:\\\\音乐\\\\晨光.mp3\",\n"
              "  \"row\": 7,\n"
              "  \"started\": \"2026-12-07T08:00:05.042\",\n"
              "  \"length\": 252.042,\n"
              "  \"schedule\": \"节目表.JMB\"\n"
              "}\n");
}

TEST_F(NowPlayingTest, EveryItemOnAirIsToldOnceTimedCrossFadedOrAfterASkippedRow) {
    addSound("one.wav", 30);
    addSound("two.wav", 30);
    addSound("news.wav", 30);
    writeSchedule({{"one.wav", "08:00:00", "", "", "", "晨光", "林晓"},
                   {"gone.wav"},
                   {"two.wav", "", "", "", "", "春天的故事", "合唱团"},
                   {"news.wav", "08:00:40", "", "", "", "午间新闻"}});
    startStation();
    runUntilTime(7, 59, 59);
    EXPECT_TRUE(listener.heard.empty());
    EXPECT_FALSE(core::FileExists(listener.path));

    runUntilTime(8, 0, 45);
    ASSERT_EQ(listener.heard.size(), 3u);
    const core::NowPlayingItem& first = listener.heard[0].item;
    EXPECT_EQ(first.row, 1);
    EXPECT_EQ(first.title, "晨光");
    EXPECT_EQ(first.artist, "林晓");
    EXPECT_EQ(first.file, "one.wav");
    EXPECT_EQ(first.startedAtUs, tickAt(8, 0, 0));  // a timed row: its second
    EXPECT_EQ(first.lengthMs, 30'000);

    // The cross-fade into row 3 (row 2 has no file) with 10 s of row 1 left.
    const core::NowPlayingItem& crossFaded = listener.heard[1].item;
    EXPECT_EQ(crossFaded.row, 3);
    EXPECT_EQ(crossFaded.title, "春天的故事");
    EXPECT_GE(crossFaded.startedAtUs, tickAt(8, 0, 20));
    EXPECT_LT(crossFaded.startedAtUs, tickAt(8, 0, 21));

    EXPECT_EQ(listener.heard[2].item.row, 4);
    EXPECT_EQ(listener.heard[2].item.artist, "");
    EXPECT_EQ(listener.heard[2].item.startedAtUs, tickAt(8, 0, 40));

    // The rewrite was queued before the listener heard of each item.
    EXPECT_NE(listener.heard[0].fileThen.find("\"row\": 1,"), std::string::npos);
    EXPECT_NE(listener.heard[1].fileThen.find("\"title\": \"春天的故事\""), std::string::npos);
    EXPECT_EQ(listener.heard[2].fileThen,
              core::NowPlayingJson(listener.heard[2].item, {2026, 12, 7, 8, 0, 40}, "节目表.JMB"));
    ASSERT_TRUE(station->nowPlaying().current());
    EXPECT_EQ(station->nowPlaying().current()->row, 4);
}

TEST_F(NowPlayingTest, TheFileIsReplacedWholeAndAFailedWriteIsLoggedNotFatal) {
    addSound("a.wav", 30);
    writeSchedule({{"a.wav", "", "", "", "", "甲"}, {"a.wav", "", "", "", "", "乙"}});
    setKey("chkManOper", "YES");
    startStation();  // plays row 1
    ASSERT_EQ(listener.heard.size(), 1u);
    EXPECT_EQ(listener.heard[0].item.startedAtUs, sim.clock().tickUs());  // no timed second

    // A reader that opened the old file keeps reading the whole old text.
    const int reader = ::open(listener.path.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    station->table().sgJM.setCurrentRow(2);
    station->items().btnPlayClick();
    char old[512] = {};
    const ssize_t n = ::read(reader, old, sizeof old - 1);
    ::close(reader);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(old, static_cast<std::size_t>(n)), listener.heard[0].fileThen);
    EXPECT_NE(listener.heard[1].fileThen.find("\"title\": \"乙\""), std::string::npos);

    // A folder in the file's place: the start goes on, the log says why nothing was written.
    std::filesystem::remove(listener.path);
    std::filesystem::create_directory(listener.path);
    station->table().sgJM.setCurrentRow(1);
    station->items().btnPlayClick();
    EXPECT_EQ(listener.heard.size(), 3u);
    sim.advanceBy(200);  // the scheduler's tick reports what the queue could not write
    EXPECT_EQ(countOf("写入正在播出文件失败:<nowplaying.json>"), 1);
    EXPECT_EQ(station->table().PlayingRow, 1);
}

}  // namespace
}  // namespace pelvano::test
