#include "core/schedule/StationSettings.h"

#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/ports/Autostart.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

struct FakeAutostart : Autostart {
    std::string entry;
    bool isEnabled(const std::string& exe) const override { return entry == exe; }
    bool setEnabled(bool on, const std::string& exe) override {
        entry = on ? exe : "";
        return true;
    }
};

TEST(StationSettings, MissingFileGivesTheDefaultsAndStoresTheChangedSpins) {
    test::TempDir dir;
    const std::string ini = dir.file("s.ini");
    StationSettings s(ini, nullptr, "/opt/pelvano/pelvano");
    s.load();
    for (int f = 0; f < static_cast<int>(SettingFlag::kCount); ++f) EXPECT_TRUE(s.flag(static_cast<SettingFlag>(f)));
    EXPECT_EQ(s.spIN(), 5);
    EXPECT_EQ(s.spOut(), 59);
    EXPECT_EQ(s.spOver(), 3);
    EXPECT_EQ(s.LoadTimeSeconds(), 6 * 3600);
    EXPECT_EQ(s.font().name, Gbk("宋体"));
    EXPECT_EQ(s.color(SettingColor::plDTcl), MakeColor(0, 255, 255));
    EXPECT_EQ(IniRead(ini, "START", "spOut"), "59");
    EXPECT_EQ(IniRead(ini, "START", "spOver"), "3");
    EXPECT_EQ(IniReadDef(ini, "START", "spIN", "missing"), "missing");
}

TEST(StationSettings, StoredValuesAreReadAndLimited) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini",
                                      "[START]\r\nchkSure=True\r\nchkManOper= YES\r\nchkTimedPlay=no\r\n"
                                      "spOut=90\r\nspIN=-4\r\nspOver=61\r\nLoadTime=5:7:9\r\ncbDevID=2\r\n"
                                      "AutoLoadJM=\r\nplTMclR=1\r\n");
    StationSettings s(ini, nullptr, "");
    s.load();
    EXPECT_TRUE(s.chkSure());
    EXPECT_FALSE(s.chkManOper());  // a blank before YES reads as off
    EXPECT_FALSE(s.chkTimedPlay());
    EXPECT_TRUE(s.chkAutoLoadJM());  // an empty value leaves the design state
    EXPECT_EQ(s.spOut(), 59);
    EXPECT_EQ(s.spIN(), 0);
    EXPECT_EQ(s.spOver(), 60);
    EXPECT_EQ(s.LoadTimeSeconds(), 5 * 3600 + 7 * 60 + 9);
    EXPECT_EQ(IniRead(ini, "START", "LoadTime"), "05:07:09");
    EXPECT_EQ(s.cbDevID(), 2);
    EXPECT_EQ(s.color(SettingColor::plTMcl), MakeColor(1, 255, 0));
    EXPECT_EQ(IniRead(ini, "START", "chkTimedPlay"), "NO");
    EXPECT_EQ(IniRead(ini, "START", "chkSure"), "True");  // on as designed: left as written
}

TEST(StationSettings, ChangesAreWrittenAtOnce) {
    test::TempDir dir;
    const std::string ini = dir.file("s.ini");
    FakeAutostart autostart;
    StationSettings s(ini, &autostart, "/opt/pelvano/pelvano");
    s.load();
    ASSERT_TRUE(s.setFlag(SettingFlag::chkClockHalf, false));
    EXPECT_EQ(IniRead(ini, "START", "chkClockHalf"), "NO");
    ASSERT_TRUE(s.setSpOver(0));
    EXPECT_EQ(s.spOver(), 1);
    EXPECT_EQ(IniRead(ini, "START", "spOver"), "1");
    ASSERT_TRUE(s.setLoadTime(3600 + 1));
    EXPECT_EQ(IniRead(ini, "START", "LoadTime"), "01:00:01");
    FontRecord f = s.font();
    f.bold = true;
    ASSERT_TRUE(s.setFont(f));
    EXPECT_EQ(IniRead(ini, "START", "Font"), "\"" + Gbk("宋体") + "\", 9, [Bold], [clGreen]");
    ASSERT_TRUE(s.setColor(SettingColor::plTTcl, MakeColor(9, 8, 7)));
    EXPECT_EQ(IniRead(ini, "START", "plTTclB"), "7");

    ASSERT_TRUE(s.setAutoStart(true));
    EXPECT_EQ(autostart.entry, "/opt/pelvano/pelvano");
    StationSettings again(ini, &autostart, "/opt/pelvano/pelvano");
    again.load();
    EXPECT_TRUE(again.chkAutoStart());
    EXPECT_TRUE(again.font().bold);
    StationSettings moved(ini, &autostart, "/elsewhere/pelvano");
    moved.load();
    EXPECT_FALSE(moved.chkAutoStart());  // the entry names another executable
}

}  // namespace
}  // namespace pelvano::core
