// Writes on disks that refuse: a full file system, a file this user may not read, a disk that
// hangs; and the queue that keeps such writes off the sound and the windows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <future>

#include "core/app/AtomicFile.h"
#include "core/app/FileHelpers.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/IniFile.h"
#include "support/SmallFileSystem.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AppendTextLine, AFullDiskTakesAWholeLineOrNothing) {
    test::TempDir dir;
    const std::string folder = dir.file("small");
    fs::create_directory(folder);
    test::SmallFileSystem disk(folder, 2 * 4096);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a file system needs root";
    const std::string log = folder + "/day.his";
    const std::string early(4000, 'a');
    ASSERT_TRUE(AppendTextLine(log, early));
    const std::string filler = disk.fill("filler");
    // 94 bytes still fit in the file's page; the rest would need another.
    const std::string line(200, 'b');
    std::string error;
    EXPECT_FALSE(AppendTextLine(log, line, &error));
    EXPECT_EQ(error, std::strerror(ENOSPC));
    EXPECT_EQ(fs::file_size(log), 4002u);
    fs::remove(filler);
    ASSERT_TRUE(AppendTextLine(log, line));
    EXPECT_EQ(dir.read("small/day.his"), early + "\r\n" + line + "\r\n");
}

TEST(AppendTextLine, ALineNeverSticksToACutOne) {
    test::TempDir dir;
    const std::string log = dir.write("day.his", "08:00:00: one\r\n08:00:0");
    ASSERT_TRUE(AppendTextLine(log, "08:00:01: two"));
    EXPECT_EQ(dir.read("day.his"), "08:00:00: one\r\n08:00:0\r\n08:00:01: two\r\n");
}

TEST(ReadWholeFile, TellsAMissingFileFromOneThatCannotBeRead) {
    test::TempDir dir;
    std::string bytes = "kept";
    std::string error;
    EXPECT_EQ(ReadWholeFile(dir.file("none.ini"), bytes, &error), ReadOutcome::Missing);
    EXPECT_EQ(ReadWholeFile(dir.path().string(), bytes, &error), ReadOutcome::Unreadable);
    EXPECT_EQ(error, std::strerror(EISDIR));
    const std::string pipe = dir.file("pipe.ini");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(ReadWholeFile(pipe, bytes, &error), ReadOutcome::Unreadable);  // and no hang
    EXPECT_EQ(error, "not a regular file");
    EXPECT_EQ(bytes, "kept");
    EXPECT_EQ(ReadWholeFile(dir.write("a.ini", "[A]"), bytes), ReadOutcome::Read);
    EXPECT_EQ(bytes, "[A]");
}

TEST(IniFile, AFileThatCannotBeReadIsNeverRewritten) {
    test::TempDir dir;
    const std::string original = "[START]\r\nspOver=4\r\n\r\n[Stream]\r\nPassword=s3cret\r\n";
    const std::string ini = dir.write("settings.ini", original);
    ::chmod(ini.c_str(), 0);
    ::chmod(dir.path().c_str(), 0777);
    const int result = test::RunUnprivileged([&] {
        std::string error;
        if (IniReadDef(ini, "START", "spOver", "1") != "1") return 1;  // the default
        if (IniWrite(ini, "START", "LastJMPos", "3", &error) || error.empty()) return 2;
        if (IniWriteMany(ini, "START", {{"spOver", "4"}})) return 3;  // not even the same value
        return 0;
    });
    EXPECT_EQ(result, 0) << "1: not the default, 2: written or no reason, 3: written";
    ::chmod(ini.c_str(), 0600);
    EXPECT_EQ(dir.read("settings.ini"), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    const std::string pipe = dir.file("pipe.ini");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_FALSE(IniWrite(pipe, "START", "spOver", "4"));
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(AtomicReplace, AFileForItsOwnerOnlyStaysSoThroughLaterReplaces) {
    test::TempDir dir;
    const mode_t umask = ::umask(0);  // the widest new files: 0666
    const std::string fresh = dir.file("fresh.ini");
    ASSERT_TRUE(WriteFileAtomically(fresh, "a", nullptr, FileAccess::OwnerOnly));
    EXPECT_EQ(modeOf(fresh), 0600u);
    const std::string wide = dir.write("wide.ini", "a");
    ::chmod(wide.c_str(), 0664);
    ASSERT_TRUE(IniWriteMany(wide, "Stream", {{"Password", "x"}}, nullptr, FileAccess::OwnerOnly));
    EXPECT_EQ(modeOf(wide), 0600u);
    ASSERT_TRUE(IniWrite(wide, "START", "spOver", "3"));  // any later write keeps it narrow
    EXPECT_EQ(modeOf(wide), 0600u);
    ASSERT_TRUE(WriteFileAtomically(dir.file("plain.ini"), "a"));
    EXPECT_EQ(modeOf(dir.file("plain.ini")), 0666u);
    ::umask(umask);
}

TEST(FileWriteQueue, KeepsTheOrderAndTellsWhatFailed) {
    test::TempDir dir;
    FileWriteQueue files;
    std::vector<int> ran;  // touched by the writer's thread only until the flush
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        files.appendLine(dir.file("log.his"), std::to_string(i), "lost log");
        expected += std::to_string(i) + "\r\n";
        if (i % 10 != 9) continue;
        files.post(dir.file("now.json"), "lost now", [&ran, i, path = dir.file("now.json")](std::string* error) {
            ran.push_back(i);
            return WriteFileAtomically(path, std::to_string(i), error);
        });
    }
    files.appendLine(dir.file("gone/x.his"), "x", "lost x");
    ASSERT_TRUE(files.flush(FileWriteQueue::kCloseBound));
    EXPECT_EQ(dir.read("log.his"), expected);
    EXPECT_EQ(dir.read("now.json"), "199");
    ASSERT_EQ(ran.size(), 20u);
    EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));
    const auto failures = files.takeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].file, dir.file("gone/x.his"));
    EXPECT_EQ(failures[0].message, "lost x");
    EXPECT_EQ(failures[0].reason, std::strerror(ENOENT));
    EXPECT_TRUE(files.takeFailures().empty());
    EXPECT_EQ(files.failureCount(), 1u);
}

TEST(FileWriteQueue, ACloseDoesNotWaitForADiskThatHangs) {
    test::TempDir dir;
    std::promise<void> disk;
    std::shared_future<void> answers = disk.get_future().share();
    auto files = std::make_unique<FileWriteQueue>();
    files->post("stuck", "", [answers](std::string*) {
        answers.wait();
        return true;
    });
    files->appendLine(dir.file("after.his"), "queued behind it", "");
    EXPECT_FALSE(files->flush(std::chrono::milliseconds(20)));
    EXPECT_FALSE(files->close(std::chrono::milliseconds(20)));
    files->appendLine(dir.file("late.his"), "after the close", "");  // dropped
    files.reset();
    disk.set_value();
    // The writes queued before the close still go on, on their own.
    for (int i = 0; i < 500 && !fs::exists(dir.file("after.his")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(dir.file("after.his")));
    EXPECT_FALSE(fs::exists(dir.file("late.his")));
}

}  // namespace
}  // namespace pelvano::core
