// The station on a disk that refuses: a settings file it may not read, a history folder that
// fills up, and what it tells of the writes it could not do.
#include <sys/stat.h>

#include <cctype>
#include <sstream>

#include "StationFixture.h"
#include "core/app/AtomicFile.h"
#include "core/app/FileWriteQueue.h"
#include "core/playout/AsRunLog.h"
#include "core/playout/WriteFailureReport.h"
#include "support/SmallFileSystem.h"

namespace pelvano::test {
namespace {

namespace fs = std::filesystem;

// A settings file as an operator's station has it, with the stream's password.
const std::string kSettings = core::Utf8ToGbk(
    "[START]\r\nPlayList=YES\r\nspIN=3\r\nspOut=0\r\nspOver=4\r\nchkManOper=NO\r\n"
    "chkAllCycle=YES\r\nLastJMPos=1\r\n\r\n[主窗口]\r\nLeft=100\r\nTop=80\r\n\r\n"
    "[Stream]\r\nEnabled=YES\r\nHost=radio.example\r\nPassword=s3cret\r\n");

std::string readAll(const std::string& path) {
    std::string bytes;
    core::ReadFileBytes(path, bytes);
    return bytes;
}

// The fields of one CSV line (quoted fields may hold commas and doubled quotes).
std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// "hh:mm:ss: message" and the CR of its line end.
bool isLogLine(const std::string& line) {
    const auto digits = [&](std::size_t at) {
        return std::isdigit(static_cast<unsigned char>(line[at])) &&
               std::isdigit(static_cast<unsigned char>(line[at + 1]));
    };
    return line.size() > 11 && digits(0) && line[2] == ':' && digits(3) && line[5] == ':' &&
           digits(6) && line.compare(8, 2, ": ") == 0 && line.back() == '\r';
}

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class FailingDiskTest : public StationFixture {
  protected:
    FailingDiskTest() : StationFixture({2026, 12, 7, 5, 58, 0}, false) {}
    int starts() const { return countOf("开始准备播放:<"); }
    void flushWrites() {
        ASSERT_TRUE(station->fileWrites().flush(core::FileWriteQueue::kCloseBound));
    }
};

TEST_F(FailingDiskTest, AnUnreadableSettingsFileIsNeverRewrittenAndTheStationRunsOnDefaults) {
    addSound("a.wav", 20);
    addSound("b.wav", 20);
    writeSchedule({{"a.wav"}, {"b.wav"}});
    const std::string ini = dir.write("参数设置.INI", kSettings);
    ::chmod(ini.c_str(), 0);
    ::chmod(dir.path().c_str(), 0777);  // the station may write beside it, as in a shared folder
    const int result = RunUnprivileged([&] {
        makeStation();
        if (station->start() != core::StartupOutcome::Running) return 1;
        // Past the daily load at 06:00 and across many item starts, each writing resume keys.
        sim.advanceBy(4 * 60 * 1000);
        station->settings().setSpOver(9);  // the operator changes a setting
        station->sliders().setVolume(-100);
        station->writeCloseKeys();
        if (countOf("无法读取参数设置文件：") != 1) return 2;
        if (starts() < 3) return 3;
        if (station->settings().spOver() != 9) return 4;  // kept in memory all the same
        station.reset();
        return 0;
    });
    EXPECT_EQ(result, 0) << "1: no start, 2: not told once, 3: no playout, 4: setting lost";
    ::chmod(ini.c_str(), 0644);
    EXPECT_EQ(readAll(ini), kSettings);
    EXPECT_TRUE(fs::exists(dir.path() / "History"));  // the rest of the station was written
}

TEST_F(FailingDiskTest, APasswordInAWiderFileIsNarrowedOnceAtStart) {
    writeSchedule({{""}});
    const std::string ini = dir.write("参数设置.INI", kSettings);
    ::chmod(ini.c_str(), 0604);  // readable by every user, not only by the group
    startStation();
    struct stat st {};
    ASSERT_EQ(::stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(countOf("参数设置文件含推流密码，已改为仅所有者可读写："), 1);
    station.reset();
    startStation();  // narrow already: nothing to say
    EXPECT_EQ(countOf("参数设置文件含推流密码"), 0);
    EXPECT_EQ(readAll(ini).substr(kSettings.size() - 16), kSettings.substr(kSettings.size() - 16));
}

TEST_F(FailingDiskTest, AFullHistoryFolderLosesWholeLinesOnlyAndThePlayoutGoesOn) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) addSound(name, 4);
    writeSchedule({{"a.wav", "", "", "", "", "=HYPERLINK(\"http://x\",\"y\")"},
                   {"b.wav", "", "", "", "", "晨光, 合唱"},
                   {"c.wav", "", "", "", "", "@SUM(1+1)", "-林晓"}});
    setKey("spOut", "0");
    const std::string history = paths.historyDir();
    fs::create_directories(history);
    SmallFileSystem disk(history, 4 * 4096);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a file system needs root";
    // Both files a few bytes short of a full page: the next line needs a page there is none of.
    const std::string his = history + "2026-12-07.his";
    const std::string asRun = history + "2026-12-07.asrun.csv";
    std::string hisStart;
    while (hisStart.size() < 4050) hisStart += "05:00:00: " + std::string(40, 'x') + "\r\n";
    std::string asRunStart = std::string(core::kUtf8Bom) + core::AsRunLog::header() + "\r\n";
    while (asRunStart.size() < 4050)
        asRunStart += "9,t,,z.wav,,2026-12-07 05:00:00.000,2026-12-07 05:00:01.000,1.0,自然结束,\r\n";
    dir.write("History/2026-12-07.his", hisStart);
    dir.write("History/2026-12-07.asrun.csv", asRunStart);
    const std::string filler = disk.fill("filler");

    startStation();
    sim.advanceBy(60 * 1000);
    flushWrites();
    sim.advanceBy(200);
    const int startsWhileFull = starts();
    EXPECT_GE(startsWhileFull, 10);  // on air all the time
    EXPECT_GT(station->fileWrites().failureCount(), 20u);
    EXPECT_EQ(countOf("写入播放记录失败:<2026-12-07.his>"), 1);  // once, not per line
    EXPECT_EQ(countOf("写入播出记录失败:<2026-12-07.asrun.csv>"), 1);
    EXPECT_EQ(readAll(his), hisStart);  // no half line stayed behind
    EXPECT_EQ(readAll(asRun), asRunStart);

    fs::remove(filler);
    sim.advanceBy(30 * 1000);
    station.reset();  // the close writes what is queued
    const std::string hisAfter = readAll(his);
    ASSERT_GT(hisAfter.size(), hisStart.size());
    int startsLogged = 0;
    for (const std::string& line : linesOf(hisAfter.substr(hisStart.size()))) {
        EXPECT_TRUE(isLogLine(line)) << line;
        startsLogged += core::GbkToUtf8(line).find("开始准备播放:<") != std::string::npos;
    }
    EXPECT_GE(startsLogged, 5);  // the playout went on
    const std::string asRunAfter = readAll(asRun);
    ASSERT_TRUE(asRunAfter.starts_with(asRunStart));
    const std::vector<std::string> records = linesOf(asRunAfter);
    EXPECT_GE(records.size(), linesOf(asRunStart).size() + 5);
    const std::size_t columns = csvFields(core::AsRunLog::header()).size();
    ASSERT_EQ(records[0], std::string(core::kUtf8Bom) + core::AsRunLog::header() + "\r");
    for (const std::string& line : records) {
        ASSERT_TRUE(line.ends_with("\r")) << line;
        EXPECT_EQ(csvFields(line.substr(0, line.size() - 1)).size(), columns) << line;
    }
    // Titles that a spreadsheet would run as formulas are written as texts.
    EXPECT_NE(asRunAfter.find(",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\","), std::string::npos);
    EXPECT_NE(asRunAfter.find(",'@SUM(1+1),'-林晓,c.wav,"), std::string::npos);
    EXPECT_NE(asRunAfter.find(",\"晨光, 合唱\","), std::string::npos);
}

TEST(AsRunFile, AFileWithoutItsHeaderGetsItInFrontAndAnOlderHeaderStays) {
    TempDir dir;
    const std::string head = std::string(core::kUtf8Bom) + core::AsRunLog::header() + "\r\n";
    const std::string fresh = dir.file("new.asrun.csv");
    ASSERT_TRUE(core::AsRunLog::appendLine(fresh, "1,a", nullptr));
    EXPECT_EQ(dir.read("new.asrun.csv"), head + "1,a\r\n");

    const std::string headless = dir.write("headless.asrun.csv", "1,a\r\n2,cut");
    ASSERT_TRUE(core::AsRunLog::appendLine(headless, "3,b", nullptr));
    EXPECT_EQ(dir.read("headless.asrun.csv"), head + "1,a\r\n2,cut\r\n3,b\r\n");

    // Written before the files had their byte-order mark: the header is there, lines go on.
    const std::string older = std::string(core::AsRunLog::header()) + "\r\n1,a\r\n";
    dir.write("older.asrun.csv", older);
    ASSERT_TRUE(core::AsRunLog::appendLine(dir.file("older.asrun.csv"), "2,b", nullptr));
    EXPECT_EQ(dir.read("older.asrun.csv"), older + "2,b\r\n");

    EXPECT_EQ(core::CsvField("\tx"), "'\tx");
    EXPECT_EQ(core::CsvField("\rx"), "\"'\rx\"");
    EXPECT_EQ(core::CsvField("+cmd|' /C calc'!A0"), "'+cmd|' /C calc'!A0");
    EXPECT_EQ(core::CsvField("a=b"), "a=b");
}

struct SteppedClock : core::Clock {
    std::int64_t us = 0;
    std::uint64_t tickMs() const override { return static_cast<std::uint64_t>(us / 1000); }
    std::int64_t tickUs() const override { return us; }
    core::LocalDateTime now() const override { return {2026, 12, 7, 8, 0, 0}; }
    std::int64_t tickUsAt(const core::LocalDateTime&) const override { return 0; }
};

TEST(WriteFailureReport, TellsOncePerFileAndHourAndCountsEveryFailure) {
    SteppedClock clock;
    core::FileWriteQueue files;
    core::PlayProcessLog log(clock, [] { return false; }, files);
    core::LogWindowModel window;
    log.attachWindow(&window);
    core::WriteFailureReport report(clock, files, log);
    const auto fail = [&](const std::string& file, int times) {
        for (int i = 0; i < times; ++i) {
            files.post(file, "lost " + file, [](std::string* error) {
                *error = "No space left on device";
                return false;
            });
        }
        ASSERT_TRUE(files.flush(core::FileWriteQueue::kCloseBound));
        report.poll();
    };
    fail("a.his", 3);
    fail("b.csv", 1);
    EXPECT_EQ(window.lines().size(), 2u);
    EXPECT_NE(window.lines()[0].find("lost a.his: No space left on device"), std::string::npos);
    clock.us = core::WriteFailureReport::kQuietUs - 1;
    fail("a.his", 1);
    EXPECT_EQ(window.lines().size(), 2u);
    clock.us = core::WriteFailureReport::kQuietUs;
    fail("a.his", 2);
    EXPECT_EQ(window.lines().size(), 3u);
    EXPECT_EQ(files.failureCount(), 7u);
}

}  // namespace
}  // namespace pelvano::test
