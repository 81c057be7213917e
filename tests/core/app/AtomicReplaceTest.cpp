// The atomic replace: what the new file keeps of the old one, and the leftovers of a crash.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "core/app/AtomicFile.h"
#include "core/app/AtomicFileLeftovers.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

namespace fs = std::filesystem;

std::set<std::string> entriesOf(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Above any pid_max: no process has this id.
constexpr const char* kNoSuchProcess = "2147483646";

TEST(AtomicReplace, TheNewFileKeepsModeOwnerAndExtendedAttributes) {
    test::TempDir dir;
    const std::string target = dir.write("settings.ini", "old");
    ::chmod(target.c_str(), 0640);
    const bool haveAttribute = ::setxattr(target.c_str(), "user.station", "north", 5, 0) == 0;
    const bool haveOwner = ::chown(target.c_str(), 4321, 4322) == 0;  // root only
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(dir.read("settings.ini"), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (haveOwner) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
    if (haveAttribute) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(target.c_str(), "user.station", value, sizeof value), 5);
        EXPECT_STREQ(value, "north");
    }
    EXPECT_EQ(entriesOf(dir.path()), std::set<std::string>{"settings.ini"});
}

TEST(AtomicReplace, LeftoversOfEndedWritersGoAtTheNextReplaceInTheFolder) {
    test::TempDir dir;
    const std::string dead = std::string("song.mp3.tmp-") + kNoSuchProcess + "-0";
    const std::string mine =
        "list.mpl.tmp-" + std::to_string(getpid()) + "-9";  // a write in progress
    const std::string oldByReusedId = "a.jmb.tmp-1-0";  // id 1 started long after this was written
    const std::string currentOfId1 = "b.jmb.tmp-1-3";   // id 1 may be writing this one
    for (const std::string& name : {dead, mine, oldByReusedId, currentOfId1,
                                    std::string("c.tmp-x-1"), std::string(".tmp-5-5")})
        dir.write(name, "partial");
    const std::string reused = dir.file(oldByReusedId);
    const timespec longAgo[2] = {{86400, 0}, {86400, 0}};  // 2 January 1970
    ASSERT_EQ(::utimensat(AT_FDCWD, reused.c_str(), longAgo, 0), 0);

    ASSERT_TRUE(WriteFileAtomically(dir.file("other.txt"), "x"));
    EXPECT_EQ(entriesOf(dir.path()),
              (std::set<std::string>{mine, currentOfId1, "c.tmp-x-1", ".tmp-5-5", "other.txt"}));
    EXPECT_EQ(RemoveLeftoverTemporaries(dir.path().string()), 0);
}

TEST(AtomicReplace, CopiesFromAnOpenFileAndRefusesASourceThatEndsEarly) {
    test::TempDir dir;
    const std::string source = dir.write("source.bin", "0123456789");
    const int fd = ::open(source.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    {
        AtomicFileWriter writer(dir.file("copy.bin"));
        ASSERT_TRUE(writer.write("tag:"));
        ASSERT_TRUE(writer.copyFrom(fd, 3, 5));
        ASSERT_TRUE(writer.commit());
    }
    EXPECT_EQ(dir.read("copy.bin"), "tag:34567");
    {
        AtomicFileWriter writer(dir.file("copy.bin"));
        EXPECT_FALSE(writer.copyFrom(fd, 8, 5));
        EXPECT_FALSE(writer.error().empty());
        EXPECT_FALSE(writer.commit());
    }
    ::close(fd);
    EXPECT_EQ(dir.read("copy.bin"), "tag:34567");
    EXPECT_EQ(entriesOf(dir.path()), (std::set<std::string>{"copy.bin", "source.bin"}));
}

TEST(AtomicReplace, AFailedReplaceKeepsTheResultUnderAFreeNameOnly) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "taken" / "inner");  // a folder where the file should be
    AtomicFileWriter writer(dir.file("taken"));
    ASSERT_TRUE(writer.write("result"));
    EXPECT_FALSE(writer.commit());
    dir.write("occupied", "mine");
    EXPECT_FALSE(writer.keepAs(dir.file("occupied")));
    EXPECT_TRUE(writer.keepAs(dir.file("kept")));
    EXPECT_EQ(dir.read("kept"), "result");
    EXPECT_EQ(dir.read("occupied"), "mine");
}

}  // namespace
}  // namespace pelvano::core
