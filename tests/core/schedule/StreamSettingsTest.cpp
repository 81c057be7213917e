#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/schedule/StreamSettings.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

// A settings file as the Windows system left it: GBK, CR LF, no stream section.
const std::string kOldFile =
    "[START]\r\nspOut=5\r\n" + Gbk("[播出表]") + "\r\n" + Gbk("每列宽度ColWidth-0") + "=34\r\n";

TEST(StreamSettings, AFileWithoutTheSectionGivesTheDefaultsAndKeepsItsBytes) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", kOldFile);
    EXPECT_EQ(LoadStreamSettings(ini), StreamSettings{});
    EXPECT_EQ(LoadStreamSettings(dir.file("missing.ini")), StreamSettings{});
    // Saving the defaults adds nothing either.
    EXPECT_TRUE(SaveStreamSettings(ini, StreamSettings{}));
    EXPECT_EQ(dir.read("s.ini"), kOldFile);
}

TEST(StreamSettings, ValuesRoundTripThroughTheGbkFile) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", kOldFile);
    StreamSettings s;
    s.Enabled = true;
    s.Host = "radio.example.org";
    s.Port = 8443;
    s.Mount = "/校园.ogg";
    s.Password = "p\"w 'x' ";  // quotes and a trailing blank read back as they were
    s.Format = "ogg";
    s.Bitrate = 96;
    s.Name = "校园之声";
    s.Genre = "'综合'";
    s.Description = "每天 7:00–22:00";
    s.TLS = StreamTls::Required;
    ASSERT_TRUE(SaveStreamSettings(ini, s));
    EXPECT_EQ(LoadStreamSettings(ini), s);
    EXPECT_EQ(IniRead(ini, "Stream", "TLS"), "REQUIRED");
    EXPECT_EQ(IniRead(ini, "Stream", "Name"), Gbk("校园之声"));
    EXPECT_EQ(IniRead(ini, "Stream", "Enabled"), "YES");
    EXPECT_EQ(IniRead(ini, "START", "spOut"), "5");  // the other sections are kept
    // Only the keys that differ from the defaults were added.
    EXPECT_EQ(IniReadDef(ini, "Stream", "User", "absent"), "absent");

    // A save of the same values writes nothing; one changed value writes one key.
    const std::string before = dir.read("s.ini");
    ASSERT_TRUE(SaveStreamSettings(ini, s));
    EXPECT_EQ(dir.read("s.ini"), before);
    IniWrite(ini, "Stream", "Host", "  radio.example.org");  // reads as the same host
    const std::string touched = dir.read("s.ini");
    s.Bitrate = 128;
    ASSERT_TRUE(SaveStreamSettings(ini, s));
    EXPECT_EQ(IniRead(ini, "Stream", "Bitrate"), "128");
    EXPECT_EQ(IniRead(ini, "Stream", "Host"), "  radio.example.org");
    EXPECT_NE(dir.read("s.ini"), touched);
}

TEST(StreamSettings, BadValuesReadAsTheDefaults) {
    test::TempDir dir;
    const std::string ini =
        dir.write("s.ini",
                  "[stream]\r\nEnabled= YES\r\nHost=\r\nPort=70000\r\nMount=live\r\nUser=\r\n"
                  "Format=MP4\r\nBitrate=abc\r\nName=\xff\xff\r\n");
    StreamSettings s = LoadStreamSettings(ini);
    EXPECT_FALSE(s.Enabled);  // a leading blank is no yes, as for every flag
    EXPECT_EQ(s.Host, "127.0.0.1");
    EXPECT_EQ(s.Port, 8000);
    EXPECT_EQ(s.Mount, "/live");
    EXPECT_EQ(s.User, "source");
    EXPECT_EQ(s.Format, "mp3");
    EXPECT_EQ(s.Bitrate, 128);
    EXPECT_EQ(s.Name, "\xEF\xBF\xBD\xEF\xBF\xBD");  // undecodable bytes become U+FFFD

    for (const auto& [stored, format] :
         {std::pair{"Opus", "opus"}, {" ogg", "ogg"}, {"MP3", "mp3"}}) {
        IniWrite(ini, "Stream", "Format", stored);
        EXPECT_EQ(LoadStreamSettings(ini).Format, format) << stored;
    }
    for (const char* port : {"0", "-1", "65536", "80x"}) {
        IniWrite(ini, "Stream", "Port", port);
        EXPECT_EQ(LoadStreamSettings(ini).Port, 8000) << port;
    }
    for (const auto& [stored, mode] : {std::pair{"no", StreamTls::No}, {" Required", StreamTls::Required},
                                       {"YES", StreamTls::Auto}, {"", StreamTls::Auto}}) {
        IniWrite(ini, "Stream", "TLS", stored);
        EXPECT_EQ(LoadStreamSettings(ini).TLS, mode) << stored;
    }
    IniWrite(ini, "Stream", "Port", "65535");
    EXPECT_EQ(LoadStreamSettings(ini).Port, 65535);
    for (const char* rate : {"7", "321", ""}) {
        IniWrite(ini, "Stream", "Bitrate", rate);
        EXPECT_EQ(LoadStreamSettings(ini).Bitrate, 128) << rate;
    }

    // What a save writes is valid too; a line break cannot split the file.
    s.Port = 0;
    s.Mount = "";
    s.Format = "wav";
    s.Description = "line one\nline two";
    ASSERT_TRUE(SaveStreamSettings(ini, s));
    const StreamSettings back = LoadStreamSettings(ini);
    EXPECT_EQ(back.Port, 8000);
    EXPECT_EQ(back.Mount, "/pelvano.mp3");
    EXPECT_EQ(back.Format, "mp3");
    EXPECT_EQ(back.Description, "line one line two");
}

TEST(StreamSettings, AFileThatCannotBeWrittenIsReportedAndUnchanged) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", kOldFile);
    std::filesystem::create_directory(dir.path() / "sub");
    StreamSettings s;
    s.Enabled = true;
    // A folder in the file's place: the rewrite cannot happen.
    EXPECT_FALSE(SaveStreamSettings((dir.path() / "sub").string(), s));
    EXPECT_TRUE(SaveStreamSettings(ini, s));
    EXPECT_TRUE(LoadStreamSettings(ini).Enabled);
}

TEST(StreamSettings, AHostThatCannotNameAServerIsRefusedWithItsReason) {
    for (const char* good : {"127.0.0.1", "radio.example.org", "localhost", "my-host_1", "::1",
                             "fe80::1", "电台.中国"}) {
        EXPECT_EQ(StreamHostProblem(good), "") << good;
    }
    const std::pair<const char*, const char*> bad[] = {
        {"8001", "服务器地址不能只是一个数字（端口请填在“端口”栏）"},
        {"", "服务器地址不能为空"},
        {"http://radio.example.org", "服务器地址只填主机名或IP地址，不含“http://”和路径"},
        {"radio.example.org/live", "服务器地址只填主机名或IP地址，不含“http://”和路径"},
        {"radio.example.org:8000", "服务器地址不含端口（端口请填在“端口”栏）"},
        {"300.1.2.3", "服务器IP地址无效"},
        {"radio example", "服务器地址含无效字符"},
        {"a..b", "服务器地址无效"},
        {"-radio", "服务器地址无效"},
    };
    for (const auto& [host, why] : bad) EXPECT_EQ(StreamHostProblem(host), why) << host;
}

}  // namespace
}  // namespace pelvano::core
