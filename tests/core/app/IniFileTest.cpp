#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>

#include "core/app/IniFile.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

TEST(IniFile, ReadingFollowsTheProfileRules) {
    test::TempDir dir;
    const std::string ini = dir.write("a.ini",
                                      "\xEF\xBB\xBF[Start]\n"
                                      "; a comment=not a key\n"
                                      "Key = value with blanks \n"
                                      "Empty=\n"
                                      "NoEquals\n"
                                      "Quoted=\"q\"\n"
                                      "Single='7'\n"
                                      "Mixed='7\"\n"
                                      "Half=\"q\n"
                                      "[start]\n"
                                      "Key=second section\n"
                                      "Other=only here\n");
    EXPECT_EQ(IniRead(ini, "START", "key"), " value with blanks");
    EXPECT_EQ(IniReadDef(ini, "START", "Missing", "d"), "d");
    EXPECT_EQ(IniReadIfPresent(ini, "START", "Empty", "d"), "");
    EXPECT_EQ(IniReadDef(ini, "START", "NoEquals", "d"), "d");
    EXPECT_EQ(IniReadDef(ini, "START", "; a comment", "d"), "d");
    EXPECT_EQ(IniRead(ini, "START", "Quoted"), "q");
    EXPECT_EQ(IniRead(ini, "START", "Single"), "7");
    EXPECT_EQ(IniRead(ini, "START", "Mixed"), "'7\"");
    EXPECT_EQ(IniRead(ini, "START", "Half"), "\"q");
    EXPECT_EQ(IniReadDef(ini, "START", "Other", "d"), "d");  // the first section of a name counts
    EXPECT_EQ(IniReadDef(dir.file("none.ini"), "START", "Key", "d"), "d");
}

TEST(IniFile, WritingKeepsEverythingElse) {
    test::TempDir dir;
    const std::string ini = dir.write("a.ini",
                                      "\xEF\xBB\xBF; head\n[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(IniWrite(ini, "a", "X", "10"));
    ASSERT_TRUE(IniWrite(ini, "A", "z", "3"));
    ASSERT_TRUE(IniWrite(ini, "C", "w", "4"));
    EXPECT_EQ(dir.read("a.ini"),
              "\xEF\xBB\xBF; head\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
    EXPECT_EQ(IniRead(ini, "A", "x"), "10");
    ASSERT_TRUE(IniWrite(ini, "B", "y", "two\r\nlines"));
    EXPECT_EQ(IniRead(ini, "B", "y"), "two  lines");  // a value can never break the file
}

TEST(IniFile, AWriteThatChangesNothingLeavesTheFileAlone) {
    test::TempDir dir;
    const std::string ini = dir.write("a.ini", "[A]\r\nx=1\r\n");
    struct stat before {
    }, after{};
    ::stat(ini.c_str(), &before);
    ASSERT_TRUE(IniWriteMany(ini, "a", {{"X", "1"}}));
    ::stat(ini.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);  // not replaced
    ASSERT_TRUE(IniWrite(ini, "A", "x", "2"));
    EXPECT_EQ(dir.read("a.ini"), "[A]\r\nx=2\r\n");
}

TEST(IniFile, WriteCreatesTheFile) {
    test::TempDir dir;
    ASSERT_TRUE(IniWrite(dir.file("new.ini"), "START", "spOver", "3"));
    EXPECT_EQ(dir.read("new.ini"), "[START]\r\nspOver=3\r\n");
}

TEST(IniFile, FailedWritesAreReportedAndLoseNothing) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(IniWrite(dir.file("no/such/dir.ini"), "A", "x", "2", &error));
    EXPECT_FALSE(error.empty());
    // A folder standing where the file should be: the rename fails, the folder stays.
    std::filesystem::create_directories(dir.path() / "taken.ini" / "inner");
    error.clear();
    EXPECT_FALSE(IniWrite(dir.file("taken.ini"), "A", "x", "2", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.ini" / "inner"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(IniFile, WritesFromTwoThreadsKeepEachOthersKeys) {
    test::TempDir dir;
    const std::string ini = dir.write("shared.ini", "[START]\r\nkept=1\r\n");
    constexpr int kWrites = 60;
    auto writer = [&](const std::string& prefix) {
        for (int i = 0; i < kWrites; ++i)
            IniWriteMany(ini, i % 2 ? "START" : "Other", {{prefix + std::to_string(i), "v"}});
    };
    std::thread other(writer, "queue");
    writer("ui");
    other.join();
    EXPECT_EQ(IniRead(ini, "START", "kept"), "1");
    for (int i = 0; i < kWrites; ++i) {
        const char* section = i % 2 ? "START" : "Other";
        EXPECT_EQ(IniRead(ini, section, "ui" + std::to_string(i)), "v") << i;
        EXPECT_EQ(IniRead(ini, section, "queue" + std::to_string(i)), "v") << i;
    }
}

TEST(IniFile, BinaryGarbageReadsAsMissing) {
    test::TempDir dir;
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) % 256);
    const std::string ini = dir.write("junk.ini", junk);
    EXPECT_EQ(IniReadDef(ini, "START", "spOver", "d"), "d");
    ASSERT_TRUE(IniWrite(ini, "START", "spOver", "5"));
    EXPECT_EQ(IniRead(ini, "START", "spOver"), "5");
}

}  // namespace
}  // namespace pelvano::core
