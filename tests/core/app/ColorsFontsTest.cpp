#include <gtest/gtest.h>

#include "core/app/Colors.h"
#include "core/app/Encoding.h"
#include "core/app/Fonts.h"
#include "core/app/IniFile.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

TEST(Colors, RgbTextAndScaling) {
    EXPECT_EQ(RgbTextToColor(""), MakeColor(255, 255, 255));
    EXPECT_EQ(RgbTextToColor("1;2;3"), MakeColor(1, 2, 3));
    EXPECT_EQ(RgbTextToColor("257;x;3"), MakeColor(1, 255, 3));
    EXPECT_EQ(ColorToRgbText(MakeColor(10, 20, 30)), "10;20;30");
    EXPECT_EQ(ScaleColor(MakeColor(200, 100, 50), 0.5), MakeColor(255, 200, 100));
    EXPECT_EQ(ScaleColor(MakeColor(200, 100, 50), 2), MakeColor(100, 50, 25));
    EXPECT_EQ(ScaleColor(MakeColor(200, 0, 50), 0), MakeColor(255, 255, 255));
}

TEST(Colors, NamesAndNumbers) {
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(0xFF00000F), "clBtnFace");
    EXPECT_EQ(ColorToString(0x00123456), "$00123456");
    for (TColor c : {clRed, TColor{0xFF00000F}, TColor{0x00123456}, TColor{0x1FFFFFFF}}) {
        TColor back = 0;
        ASSERT_TRUE(StringToColor(ColorToString(c), back));
        EXPECT_EQ(back, c);
    }
    TColor c = 0;
    EXPECT_TRUE(StringToColor("clskyblue", c));
    EXPECT_EQ(c, 0xF0CAA6u);
    EXPECT_FALSE(StringToColor("clNoSuchColour", c));
}

TEST(Colors, IniComponentsKeepTheDefaultWhenMissing) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", "[START]\r\nplTMclR=12\r\nplTMclG=bad\r\n");
    EXPECT_EQ(IniReadColor(ini, "START", "plTMcl", MakeColor(1, 2, 3)), MakeColor(12, 2, 3));
    ASSERT_TRUE(IniWriteColor(ini, "START", "plDTcl", MakeColor(0, 255, 255)));
    EXPECT_EQ(IniReadColor(ini, "START", "plDTcl", 0), MakeColor(0, 255, 255));
}

TEST(Fonts, SemicolonForm) {
    FontRecord f{Gbk("宋体"), 12, clRed, true, false};
    EXPECT_EQ(FontToText(f), Gbk("宋体") + ";12;255;0;0;fsBold,;");
    f.italic = true;
    FontRecord back;
    TextToFont(FontToText(f), back);
    EXPECT_EQ(back.name, f.name);
    EXPECT_EQ(back.size, 12);
    EXPECT_EQ(back.color, clRed);
    EXPECT_TRUE(back.bold && back.italic);
    TextToFont("", back);
    EXPECT_EQ(back.name, Gbk("楷体_GB2312"));
    EXPECT_EQ(back.size, 32);
    EXPECT_EQ(back.color, MakeColor(255, 0, 0));
    EXPECT_FALSE(back.bold || back.italic || back.underline || back.strikeOut);
}

TEST(Fonts, DisplayForm) {
    FontRecord f{Gbk("宋体"), 9, clRed, true};
    EXPECT_EQ(FontToDisplayText(f, true), "\"" + Gbk("宋体") + "\", 9, [Bold], [clRed]");
    f.italic = f.underline = f.strikeOut = true;
    EXPECT_EQ(FontToDisplayText(f, false), "\"" + Gbk("宋体") + "\", 9, [Bold|Italic|Underline|Strikeout]");

    FontRecord read;
    DisplayTextToFont("\"" + Gbk("宋体") + "\", 9, [Bold|Italic], [clRed]", read, true);
    EXPECT_EQ(read.name, Gbk("宋体"));
    EXPECT_EQ(read.size, 9);
    EXPECT_TRUE(read.bold && read.italic);
    EXPECT_EQ(read.color, clRed);

    FontRecord plain;
    plain.bold = true;
    DisplayTextToFont("\"" + Gbk("宋体") + "\", 9, [Bold]", plain, false);
    EXPECT_EQ(plain.size, 9);
    EXPECT_FALSE(plain.bold);  // styles count only when a comma follows them

    FontRecord broken;
    broken.size = 20;
    DisplayTextToFont("\"Arial\", x, [Bold], [clRed]", broken, true);
    EXPECT_EQ(broken.name, "Arial");
    EXPECT_EQ(broken.size, 20);  // reading stopped at the size
    for (const char* junk : {"", ",", "\"", ",,,,", "\"a\", 5, [", "x, 1, [Bold], [$zz]"}) {
        FontRecord any;
        DisplayTextToFont(junk, any, true);  // must not crash
    }
}

}  // namespace
}  // namespace pelvano::core
