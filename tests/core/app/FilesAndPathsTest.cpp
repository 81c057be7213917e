#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/app/AppPaths.h"
#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/StoredPathResolver.h"
#include "core/schedule/ScheduleTable.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, ReplacesKeepingPermissionsAndLeavesNoTemporary) {
    test::TempDir dir;
    const std::string target = dir.write("t.txt", "old");
    chmod(target.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(dir.read("t.txt"), "new");
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(AtomicFile, AnAbandonedWriteLeavesTheOriginal) {
    test::TempDir dir;
    const std::string target = dir.write("t.txt", "old");
    {
        AtomicFileWriter writer(target);
        writer.write("half of the new");
    }  // no commit: as if the program had stopped here
    EXPECT_EQ(dir.read("t.txt"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(FileHelpers, AppendListDelete) {
    test::TempDir dir;
    AppendTextLine(dir.file("log.his"), "one");
    AppendTextLine(dir.file("log.his"), "two");
    EXPECT_EQ(dir.read("log.his"), "one\r\ntwo\r\n");
    std::string error;
    EXPECT_FALSE(AppendTextLine(dir.file("missing/x.his"), "lost", &error));
    EXPECT_EQ(error, std::strerror(ENOENT));
    dir.write("b.JMB", "");
    dir.write("a.jmb", "");
    dir.write("c.txt", "");
    fs::create_directory(dir.path() / "d.JMB");
    EXPECT_EQ(ListFilesByExt(dir.path().string(), "JMB"), (std::vector<std::string>{"a.jmb", "b.JMB", "d.JMB"}));
    const std::string ro = dir.write("ro.txt", "x");
    chmod(ro.c_str(), 0444);
    ForceDeleteFile(ro);
    EXPECT_FALSE(FileExists(ro));
    EXPECT_EQ(BaseNameOf("/m/A.B.MP3"), "A");
    EXPECT_EQ(FileNameOf("D:\\MUSIC\\A.MP3"), "A.MP3");
    EXPECT_EQ(FileNameOf("D:\\\x95\x5C.MP3"), "\x95\x5C.MP3");  // a trail byte that looks like '\\'
    EXPECT_EQ(ExtensionOf("x/a.b.Mp3"), ".Mp3");
    EXPECT_EQ(FileNameOf("/m/音乐库/新闻.wav"), "新闻.wav");  // UTF-8: no GBK pairing across '/'
    EXPECT_EQ(FileNameOf(Utf8ToGbk("音乐库/新闻.wav")), Utf8ToGbk("新闻.wav"));
}

TEST(AppPaths, StationFiles) {
    test::TempDir dir;
    const AppPaths paths = AppPaths::ofFolder(dir.path().string());
    EXPECT_EQ(paths.applicationDir.back(), '/');
    EXPECT_EQ(paths.settingsFile(), paths.applicationDir + "参数设置.INI");
    ASSERT_TRUE(paths.ensureHistoryDir());
    EXPECT_TRUE(DirectoryExists(paths.applicationDir + "History"));
    EXPECT_EQ(AppPaths::ofExecutable().applicationDir.back(), '/');
}

TEST(AppPaths, FilesCopiedFromWindowsAreFoundInAnyLetterCase) {
    test::TempDir dir;
    const AppPaths paths = AppPaths::ofFolder(dir.path().string());
    dir.write("参数设置.ini", "");
    dir.write("星期一.jmb", "");
    dir.write("2026-12-07.jmb", "");
    EXPECT_EQ(paths.settingsFile(), paths.applicationDir + "参数设置.ini");
    EXPECT_EQ(TodayScheduleFile(paths, {2026, 12, 7, 8, 0, 0}),
              paths.applicationDir + "2026-12-07.jmb");
    EXPECT_EQ(TodayScheduleFile(paths, {2026, 12, 14, 8, 0, 0}),
              paths.applicationDir + "星期一.jmb");
    EXPECT_EQ(TodayScheduleFile(paths, {2026, 12, 15, 8, 0, 0}),
              paths.applicationDir + "节目表.JMB");
    dir.write("2026-12-07.JMB", "");  // an exact match comes first
    EXPECT_EQ(TodayScheduleFile(paths, {2026, 12, 7, 8, 0, 0}),
              paths.applicationDir + "2026-12-07.JMB");
}

TEST(StoredPathResolver, WindowsPathsFindTheirFiles) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "D" / "Music" / "中文");
    dir.write("D/Music/中文/a.mp3", "x");
    fs::create_directories(dir.path() / "Songs");
    dir.write("Songs/Mixed.Mp3", "y");
    const std::string root = dir.path().string() + "/";
    const StoredPathResolver resolver(root, "");

    EXPECT_EQ(resolver.resolve(Utf8ToGbk("D:\\MUSIC\\中文\\A.MP3")), root + "D/Music/中文/a.mp3");
    EXPECT_EQ(resolver.resolve("d:\\songs\\MIXED.MP3"), root + "Songs/Mixed.Mp3");  // drive letter dropped
    EXPECT_EQ(resolver.resolve("SONGS\\MIXED.MP3"), root + "Songs/Mixed.Mp3");      // relative
    EXPECT_EQ(resolver.resolve((root + "Songs/Mixed.Mp3")), root + "Songs/Mixed.Mp3");
    EXPECT_EQ(resolver.resolve("E:\\NONE\\X.MP3"), root + "E/NONE/X.MP3");  // nothing matches: as written

    const std::string settings = dir.write("s.ini", "[Linux]\r\nDriveRoot=Songs\r\n");
    const auto fromSettings = StoredPathResolver::fromSettings(root, settings);
    EXPECT_EQ(fromSettings.driveRoot(), root + "Songs/");
    EXPECT_EQ(fromSettings.resolve("C:\\mixed.mp3"), root + "Songs/Mixed.Mp3");
}

}  // namespace
}  // namespace pelvano::core
