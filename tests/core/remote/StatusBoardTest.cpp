// The board between the UI thread and the server, and the texts the server makes of it.
#include <gtest/gtest.h>

#include <thread>

#include "core/remote/MetricsText.h"
#include "core/remote/StatusBoard.h"
#include "core/remote/StatusJson.h"

namespace pelvano::core {
namespace {

std::shared_ptr<StationStatus> playing(double elapsed, double level) {
    auto s = std::make_shared<StationStatus>();
    s->state = "playing";
    s->item = StatusItem{3, "新闻", "新闻", "", elapsed, 180.0};
    s->levelLeft = s->levelRight = level;
    return s;
}

TEST(StatusBoard, KeepsTheLastHundredLogLinesNumberedFromOne) {
    StatusBoard board;
    for (int i = 1; i <= 130; ++i) board.addLogLine("line " + std::to_string(i));
    EXPECT_EQ(board.lastLogSeq(), 130u);
    const auto all = board.logSince(0);
    ASSERT_EQ(all.size(), StatusBoard::kLogLines);
    EXPECT_EQ(all.front().seq, 31u);
    EXPECT_EQ(all.front().text, "line 31");
    EXPECT_EQ(all.back().seq, 130u);
    const auto recent = board.logSince(127);
    ASSERT_EQ(recent.size(), 3u);
    EXPECT_EQ(recent.front().text, "line 128");
    EXPECT_TRUE(board.logSince(130).empty());
}

TEST(StatusBoard, AStatusCountsAsNewForStateAndWholeSecondsNotForLevelsOrTenths) {
    StatusBoard board;
    board.publish(playing(12.1, -20));
    const std::uint64_t first = board.statusVersion();
    board.publish(playing(12.4, -6));
    EXPECT_EQ(board.statusVersion(), first) << "levels and tenths of a second made news";
    board.publish(playing(13.0, -6));
    EXPECT_EQ(board.statusVersion(), first + 1);
    auto paused = playing(13.0, -6);
    paused->state = "paused";
    board.publish(paused);
    EXPECT_EQ(board.statusVersion(), first + 2);
    EXPECT_EQ(board.status()->state, "paused");
}

TEST(StatusBoard, ReadersOnOtherThreadsAlwaysSeeAWholeSnapshot) {
    StatusBoard board;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            auto s = playing(i, -10);
            s->station = std::string(static_cast<std::size_t>(i % 50), 'x');
            s->schedule = s->station;
            board.publish(s);
            board.addLogLine(std::to_string(i));
        }
    });
    for (int i = 0; i < 20000; ++i) {
        const auto s = board.status();
        ASSERT_EQ(s->station, s->schedule);
        const auto lines = board.logSince(0);
        for (std::size_t k = 1; k < lines.size(); ++k) ASSERT_EQ(lines[k].seq, lines[k - 1].seq + 1);
    }
    stop = true;
    writer.join();
}

TEST(StatusJson, EscapesTextsAndGivesTheTokenOnlyToASession) {
    auto s = playing(12.44, -18.25);
    s->item->title = "引号\"与\\反斜杠\n";
    s->station = "演示电台";
    const std::string open = StatusJson(*s, "");
    EXPECT_EQ(open.find("csrf"), std::string::npos);
    EXPECT_NE(open.find("\"title\":\"引号\\\"与\\\\反斜杠\\n\""), std::string::npos) << open;
    EXPECT_NE(open.find("\"elapsed_s\":12.4,\"length_s\":180.0,\"remaining_s\":167.6"),
              std::string::npos)
        << open;
    EXPECT_NE(StatusJson(*s, "abc").find("\"csrf\":\"abc\"}"), std::string::npos);
    s->item.reset();
    EXPECT_NE(StatusJson(*s, "").find("\"item\":null"), std::string::npos);
    EXPECT_EQ(LogJson({{7, "a"}, {8, "b"}}, 8),
              "{\"lines\":[{\"seq\":7,\"text\":\"a\"},{\"seq\":8,\"text\":\"b\"}],\"last\":8}");
}

TEST(MetricsText, TheLatenessHistogramCountsEachObservationInEveryBucketAboveIt) {
    StationStatus s;
    s.figures.timedLateness.observe(-0.002);  // early: counts as on time
    s.figures.timedLateness.observe(0.03);
    s.figures.timedLateness.observe(7.0);
    s.figures.failedRows = 2;
    s.figures.longestStallMs = 1250;
    s.figures.deadAirEpisodes = 1;
    s.figures.deadAirSeconds = 10.5;
    const std::string text = MetricsText(s);
    const auto has = [&](const std::string& line) {
        return text.find(line + "\n") != std::string::npos;
    };
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_bucket{le=\"0.005\"} 1")) << text;
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_bucket{le=\"0.025\"} 1"));
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_bucket{le=\"0.05\"} 2"));
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_bucket{le=\"5\"} 2"));
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_bucket{le=\"+Inf\"} 3"));
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_count 3"));
    EXPECT_TRUE(has("pelvano_timed_start_lateness_seconds_sum 7.030"));
    EXPECT_TRUE(has("pelvano_on_air 0"));
    EXPECT_TRUE(has("pelvano_failed_rows_total 2"));
    EXPECT_TRUE(has("pelvano_ui_stall_longest_seconds 1.250"));
    EXPECT_TRUE(has("pelvano_dead_air_seconds_total 10.500"));
    EXPECT_TRUE(has("pelvano_dead_air_episodes_total 1"));
}

}  // namespace
}  // namespace pelvano::core
