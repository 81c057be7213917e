// Which folder a station lives in, and the first start of a per-user station.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "gui/app/StationFolder.h"
#include "support/TempDir.h"

namespace pelvano::gui {
namespace {

TEST(StationFolderTest, TheArgumentThenAStationBesideTheProgramThenThePerUserFolder) {
    test::TempDir dir;
    const std::string program = dir.path().string() + "/bin";
    std::filesystem::create_directories(program);
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    StationFolderChoice c;

    ASSERT_TRUE(ChooseStationFolder({"/srv/station"}, program, c));
    EXPECT_EQ(c.folder, "/srv/station/");
    EXPECT_FALSE(c.perUserDefault);

    // An empty program folder (an install) is no station: the per-user folder.
    ASSERT_TRUE(ChooseStationFolder({}, program, c));
    EXPECT_EQ(c.folder, dir.path().string() + "/data/pelvano/station/");
    EXPECT_TRUE(c.perUserDefault);

    // A schedule beside the program makes it the station folder, as on Windows.
    dir.write("bin/节目表.jmb", "");
    ASSERT_TRUE(ChooseStationFolder({}, program, c));
    EXPECT_EQ(c.folder, program + "/");

    EXPECT_FALSE(ChooseStationFolder({"a", "b"}, program, c));
    ::unsetenv("XDG_DATA_HOME");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/op", 1);
    EXPECT_EQ(PerUserStationFolder(), "/home/op/.local/share/pelvano/station/");
    ::setenv("HOME", home.c_str(), 1);
}

TEST(StationFolderTest, AnEmptyPerUserFolderGetsTheDemoStationOnceAndKeepsItsOwnFiles) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "prefix/share/pelvano/demo-station/音乐");
    std::filesystem::create_directories(dir.path() / "prefix/bin");
    dir.write("prefix/share/pelvano/demo-station/参数设置.INI", "[START]\r\n");
    dir.write("prefix/share/pelvano/demo-station/音乐/a.mp3", "mp3");
    const std::string demo = DemoStationTemplate(dir.path().string() + "/prefix/bin");
    EXPECT_EQ(demo, dir.path().string() + "/prefix/share/pelvano/demo-station");

    const std::string station = dir.path().string() + "/user/station/";
    ASSERT_TRUE(SeedStationFolder(station, demo));
    EXPECT_EQ(dir.read("user/station/音乐/a.mp3"), "mp3");
    dir.write("user/station/参数设置.INI", "[START]\r\ntbVol=-100\r\n");
    ASSERT_TRUE(SeedStationFolder(station, demo));
    EXPECT_EQ(dir.read("user/station/参数设置.INI"), "[START]\r\ntbVol=-100\r\n");
    EXPECT_TRUE(DemoStationTemplate(dir.path().string() + "/nowhere").empty());
}

}  // namespace
}  // namespace pelvano::gui
