// Names that are not UTF-8 (GBK bytes, as a Windows archive unpacks them): their stored and
// shown forms, and the resolver finding them again from a schedule's or a list's text.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"
#include "core/app/StoredPathResolver.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

const std::string kBeijingGbk = "\xB1\xB1\xBE\xA9";  // 北京
const std::string kSongsGbk = "\xB8\xE8\xC7\xFA";    // 歌曲

TEST(NativePaths, UnicodeAndGbkNamesKeepEveryByte) {
    EXPECT_TRUE(IsValidUtf8("abc/北京.mp3"));
    EXPECT_FALSE(IsValidUtf8(kBeijingGbk));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE5\x8C"));      // cut short
    const std::string mixed = "/tmp/音乐/" + kSongsGbk + "/" + kBeijingGbk + ".mp3";
    EXPECT_EQ(StoredFormOfNativePath(mixed),
              "/tmp/" + Utf8ToGbk("音乐") + "/" + kSongsGbk + "/" + kBeijingGbk + ".mp3");
    EXPECT_EQ(DisplayFormOfNativePath(mixed), "/tmp/音乐/歌曲/北京.mp3");
    EXPECT_EQ(StoredFormOfNativePath("/a/b.mp3"), "/a/b.mp3");
}

TEST(NativePaths, SplitKeepsGbkCharactersWhoseSecondByteIsABackslash) {
    const std::string shu = "\xCA\x5C";  // a GBK character ending in 0x5C
    EXPECT_EQ(SplitStoredPath("D:\\" + shu + "\\a.mp3"),
              (std::vector<std::string>{"D:", shu, "a.mp3"}));
    EXPECT_EQ(SplitStoredPath("//x\\\\y/"), (std::vector<std::string>{"x", "y"}));
    const std::string fourByte = "\x81\x30\x81\x30";
    EXPECT_EQ(SplitStoredPath(fourByte + "/" + fourByte),
              (std::vector<std::string>{fourByte, fourByte}));
}

TEST(NativePaths, TheResolverFindsNamesKeptInGbkBytes) {
    test::TempDir dir;
    const std::string app = dir.path().string() + "/";
    std::filesystem::create_directories(app + "音乐/" + kSongsGbk);
    const std::string song = dir.write("音乐/" + kSongsGbk + "/" + kBeijingGbk + ".mp3", "x");
    const std::string lyrics = dir.write("音乐/" + kSongsGbk + "/" + kBeijingGbk + ".lrc", "y");
    const StoredPathResolver resolver(app, "");
    // The stored form of the dropped path comes back to the same bytes.
    EXPECT_EQ(resolver.resolve(StoredFormOfNativePath(song)), song);
    // A relative Windows path in GBK, in another letter case, and the lyrics beside it.
    EXPECT_EQ(resolver.resolve(Gbk("音乐\\") + kSongsGbk + "\\" + kBeijingGbk + ".MP3"), song);
    EXPECT_EQ(resolver.resolve(Gbk("音乐\\") + kSongsGbk + "\\" + kBeijingGbk + ".lrc"), lyrics);
    // The same names converted to UTF-8 are found as before.
    std::filesystem::create_directories(app + "音乐/歌曲");
    const std::string converted = dir.write("音乐/歌曲/北京.mp3", "z");
    EXPECT_EQ(resolver.resolve(Gbk("音乐\\歌曲\\北京.mp3")), converted);
    EXPECT_EQ(MatchPathIgnoringCase(app + "音乐/歌曲/北京.MP3"), converted);
    // Without the converted copy, the program's own UTF-8 names (a time signal's) find the
    // folder and file copied in GBK bytes.
    std::filesystem::remove_all(app + "音乐/歌曲");
    EXPECT_EQ(MatchPathIgnoringCase(app + "音乐/歌曲/北京.mp3"), song);
}

}  // namespace
}  // namespace pelvano::core
