// The "Music" settings: defaults, ranges, what apply stores and what is written at once.
#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/lyrics/LyricsSettings.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

class LyricsSettingsTest : public ::testing::Test {
  protected:
    std::string read(const char* key) { return IniRead(file, "Music", key); }

    test::TempDir dir;
    std::string file = dir.file("settings.ini");
    LyricsSettings settings{file};
};

TEST_F(LyricsSettingsTest, DefaultsOfAMissingFile) {
    settings.LoadLyricsSettings();
    EXPECT_EQ(settings.spML(), 0);
    EXPECT_EQ(settings.spMT(), 600);
    EXPECT_EQ(settings.spMW(), 300);
    EXPECT_EQ(settings.spMH(), 50);
    EXPECT_EQ(settings.spTransMusic(), 200);
    EXPECT_FALSE(settings.chkPlaySongText());
    EXPECT_TRUE(settings.chkInMP3lrcFirst());
    EXPECT_EQ(settings.alignment(), LyricsAlignment::Centred);
    EXPECT_EQ(settings.plMusicFrameColor(), MakeColor(255, 128, 0));
    EXPECT_EQ(settings.plCurTextColor(), clRed);
    EXPECT_EQ(settings.plMusicFont().name, Gbk("楷体_GB2312"));
    EXPECT_EQ(settings.plMusicFont().size, 18);
    EXPECT_EQ(settings.plMusicFont().color, clWhite);
}

TEST_F(LyricsSettingsTest, StoredValuesAreLimitedToTheirRanges) {
    dir.write("settings.ini",
              "[Music]\r\nLeft=-5\r\nTop=9999\r\nWidth=50\r\nHeight=301\r\nspTransMusic=10\r\n"
              "chkPlaySongText=true\r\nchkInMP3lrcFirst=\r\nchkMusicTextCenter="
              "2\r\nplCurTextColorG=200\r\n"
              "Font=\"Sans\", 24, [Bold], [clYellow]\r\n");
    settings.LoadLyricsSettings();
    EXPECT_EQ(settings.spML(), 0);
    EXPECT_EQ(settings.spMT(), 2000);
    EXPECT_EQ(settings.spMW(), 100);
    EXPECT_EQ(settings.spMH(), 300);
    EXPECT_EQ(settings.spTransMusic(), 80);
    EXPECT_TRUE(settings.chkPlaySongText());
    EXPECT_FALSE(settings.chkInMP3lrcFirst());  // present but empty
    EXPECT_EQ(settings.alignment(), LyricsAlignment::Right);
    EXPECT_EQ(settings.plCurTextColor(), MakeColor(255, 200, 0));
    EXPECT_EQ(settings.plMusicFont().name, "Sans");
    EXPECT_EQ(settings.plMusicFont().size, 24);
    EXPECT_TRUE(settings.plMusicFont().bold);
    EXPECT_EQ(settings.plMusicFont().color, clYellow);
}

TEST_F(LyricsSettingsTest, ApplyStoresEverythingAndPlacesTheWindow) {
    settings.LoadLyricsSettings();
    settings.setGeometry(10, 20, 400, 60);
    settings.setSpTransMusic(255);
    settings.setPlMusicFrameColor(clBlue);
    EXPECT_EQ(read("Width"), "");  // spin edits wait for apply
    bool stored = false;
    const LyricsWindowPlacement p = settings.ApplyLyricsSettings(&stored);
    EXPECT_TRUE(stored);
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.width, 400);
    EXPECT_EQ(p.height, 60);
    EXPECT_EQ(p.opacity, 255);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(read("Width"), "400");
    EXPECT_EQ(read("chkPlaySongText"), "NO");
    EXPECT_EQ(read("chkInMP3lrcFirst"), "YES");
    EXPECT_EQ(read("plMusicFrameColorB"), "255");
    EXPECT_EQ(read("plCurTextColorR"), "255");

    LyricsSettings again(file);
    again.LoadLyricsSettings();
    EXPECT_EQ(again.plMusicFont(), settings.plMusicFont());
    EXPECT_EQ(again.plMusicFrameColor(), clBlue);
    EXPECT_EQ(again.spMH(), 60);
}

TEST_F(LyricsSettingsTest, ImmediateWritesAndMovingTheWindow) {
    settings.setChkPlaySongText(true);
    settings.setChkMusicTextCenter(0);
    settings.setPlCurTextColor(clLime);
    EXPECT_EQ(read("chkPlaySongText"), "YES");
    EXPECT_EQ(read("chkMusicTextCenter"), "0");
    EXPECT_EQ(read("plCurTextColorG"), "255");
    settings.moveDisplayTo(-40, 700);
    EXPECT_EQ(read("Left"), "0");
    EXPECT_EQ(read("Top"), "700");
}

}  // namespace
}  // namespace pelvano::core
