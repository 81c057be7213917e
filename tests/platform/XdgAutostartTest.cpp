#include <gtest/gtest.h>

#include "core/app/FileHelpers.h"
#include "platform/autostart/XdgAutostart.h"
#include "support/TempDir.h"

namespace pelvano::platform {
namespace {

TEST(XdgAutostart, EntryFollowsTheExecutablePath) {
    test::TempDir dir;
    XdgAutostart autostart(dir.file("autostart"));
    const std::string exe = "/opt/my station/pelvano";
    EXPECT_FALSE(autostart.isEnabled(exe));
    ASSERT_TRUE(autostart.setEnabled(true, exe));
    EXPECT_TRUE(autostart.isEnabled(exe));
    EXPECT_FALSE(autostart.isEnabled("/opt/other/pelvano"));
    EXPECT_NE(dir.read("autostart/pelvano.desktop").find("Exec=\"/opt/my station/pelvano\"\n"),
              std::string::npos);
    ASSERT_TRUE(autostart.setEnabled(false, exe));
    EXPECT_FALSE(core::FileExists(autostart.entryPath()));
    EXPECT_TRUE(autostart.setEnabled(false, exe));
}

TEST(XdgAutostart, AStationApartFromTheProgramIsItsArgument) {
    test::TempDir dir;
    XdgAutostart autostart(dir.file("autostart"), "/srv/radio/station/");
    const std::string exe = "/usr/bin/pelvano";
    ASSERT_TRUE(autostart.setEnabled(true, exe));
    EXPECT_NE(dir.read("autostart/pelvano.desktop")
                  .find("\nExec=\"/usr/bin/pelvano\" \"/srv/radio/station/\"\n"),
              std::string::npos);
    EXPECT_TRUE(autostart.isEnabled(exe));
    // The same program for another station is not this station's entry.
    EXPECT_FALSE(XdgAutostart(dir.file("autostart"), "/srv/other/").isEnabled(exe));
    EXPECT_FALSE(XdgAutostart(dir.file("autostart")).isEnabled(exe));
}

}  // namespace
}  // namespace pelvano::platform
