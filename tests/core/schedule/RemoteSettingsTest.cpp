#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/schedule/RemoteSettings.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

TEST(RemoteSettings, OffAndLoopbackUnlessTheFileSaysOtherwise) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", "[START]\r\nspOut=5\r\n");
    const RemoteSettings s = LoadRemoteSettings(ini);
    EXPECT_EQ(s, RemoteSettings{});
    EXPECT_FALSE(s.Enabled);
    EXPECT_EQ(s.Bind, "127.0.0.1");
    EXPECT_TRUE(s.loopback());
    EXPECT_EQ(s.Port, 8090);
    EXPECT_FALSE(s.PublicStatus);
    EXPECT_FALSE(s.tls());
    EXPECT_TRUE(SaveRemoteSettings(ini, s));
    EXPECT_EQ(dir.read("s.ini"), "[START]\r\nspOut=5\r\n") << "saving the defaults wrote keys";
}

TEST(RemoteSettings, ValuesRoundTripAndBadOnesReadAsDefaults) {
    test::TempDir dir;
    const std::string ini = dir.write("s.ini", "");
    RemoteSettings s;
    s.Enabled = true;
    s.Bind = "0.0.0.0";
    s.Port = 9443;
    s.User = "值班员";
    s.PasswordHash = "$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA";
    s.PublicStatus = true;
    s.CertFile = "/etc/ssl/站.pem";
    s.KeyFile = "/etc/ssl/站.key";
    s.MetricsToken = "tok";
    ASSERT_TRUE(SaveRemoteSettings(ini, s));
    EXPECT_EQ(LoadRemoteSettings(ini), s);
    EXPECT_FALSE(s.loopback());
    EXPECT_TRUE(s.tls());
    struct stat st {};
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "a file with the hash is readable by others";

    dir.write("bad.ini", "[Remote]\r\nEnabled=yes\r\nPort=70000\r\nBind=\r\n");
    const RemoteSettings bad = LoadRemoteSettings(dir.file("bad.ini"));
    EXPECT_TRUE(bad.Enabled);
    EXPECT_EQ(bad.Port, 8090);
    EXPECT_EQ(bad.Bind, "127.0.0.1");
}

}  // namespace
}  // namespace pelvano::core
