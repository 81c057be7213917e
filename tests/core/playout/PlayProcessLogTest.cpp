#include "core/playout/PlayProcessLog.h"

#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/FileWriteQueue.h"
#include "core/ports/Clock.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

struct FixedClock : Clock {
    LocalDateTime time{2008, 1, 16, 8, 0, 0, 120};
    std::uint64_t tickMs() const override { return 0; }
    std::int64_t tickUs() const override { return 0; }
    LocalDateTime now() const override { return time; }
    std::int64_t tickUsAt(const LocalDateTime&) const override { return 0; }
};

struct CountingView : PlayLogView {
    int appended = 0;
    int cleared = 0;
    void appendLine(const std::string&) override { ++appended; }
    void clear() override { ++cleared; }
};

TEST(PlayProcessLog, WindowAndDayFile) {
    test::TempDir dir;
    FixedClock clock;
    bool recording = true;
    FileWriteQueue files;
    PlayProcessLog log(clock, [&] { return recording; }, files);
    log.setDayFile(dir.file("2008-01-16.his"));
    log.LogLine("dropped: no window yet");
    EXPECT_EQ(dir.read("2008-01-16.his"), "");

    LogWindowModel window;
    log.attachWindow(&window);
    log.LogLine("one");
    recording = false;
    log.LogLine("two");
    EXPECT_EQ(window.lines(), (std::vector<std::string>{"08:00:00.120: one", "08:00:00.120: two"}));
    ASSERT_TRUE(files.flush(FileWriteQueue::kCloseBound));
    EXPECT_EQ(dir.read("2008-01-16.his"), "08:00:00: one\r\n");

    recording = true;
    log.setDayFile(dir.file("gone/2008-01-17.his"));
    log.LogLine("three");  // the folder is missing: the write fails, the window has the line
    EXPECT_EQ(window.lines().size(), 3u);
    ASSERT_TRUE(files.flush(FileWriteQueue::kCloseBound));
    const auto failures = files.takeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].file, dir.file("gone/2008-01-17.his"));
    EXPECT_EQ(failures[0].message, Utf8ToGbk("写入播放记录失败:<2008-01-17.his>"));
}

TEST(PlayProcessLog, AKeptLineWaitsForTheWindowWithItsOwnTime) {
    test::TempDir dir;
    FixedClock clock;
    FileWriteQueue files;
    PlayProcessLog log(
        clock, [] { return true; }, files);
    log.setDayFile(dir.file("2008-01-16.his"));
    log.LogLine("dropped");
    log.LogLineKept("kept");
    clock.time.second = 2;
    LogWindowModel window;
    log.attachWindow(&window);
    log.LogLine("after");
    log.LogLineKept("kept after");
    EXPECT_EQ(window.lines(), (std::vector<std::string>{"08:00:00.120: kept", "08:00:02.120: after",
                                                        "08:00:02.120: kept after"}));
    ASSERT_TRUE(files.flush(FileWriteQueue::kCloseBound));
    EXPECT_EQ(dir.read("2008-01-16.his"),
              "08:00:00: kept\r\n08:00:02: after\r\n08:00:02: kept after\r\n");
}

TEST(PlayProcessLog, TheLineBeyond500ClearsTheWindow) {
    LogWindowModel window;
    CountingView view;
    window.setView(&view);
    for (int i = 0; i < 500; ++i) window.add("x");
    EXPECT_EQ(window.lines().size(), 500u);
    window.add("501st");
    EXPECT_TRUE(window.lines().empty());
    EXPECT_EQ(view.cleared, 1);
    window.add("next");
    EXPECT_EQ(window.lines().size(), 1u);
    EXPECT_EQ(PlayProcessLog::equalsRule(), std::string(51, '='));
}

}  // namespace
}  // namespace pelvano::core
