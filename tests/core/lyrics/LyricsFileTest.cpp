// Lyrics files: how their bytes are read (byte order mark, well-formed UTF-8, else GB18030) and
// that a file is written back in the encoding it was read in.
#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/lyrics/LyricsFile.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using E = LyricsFileEncoding;

TEST(LyricsFile, AByteOrderMarkDecides) {
    const std::string gbk = Utf8ToGbk("[00:01.00]你好");
    const LyricsFileText utf8 = DecodeLyricsFile("\xEF\xBB\xBF[00:01.00]你好");
    EXPECT_EQ(utf8.text, gbk);
    EXPECT_EQ(utf8.encoding, E::Utf8WithBom);
    const LyricsFileText le = DecodeLyricsFile(std::string("\xFF\xFE[\0a\0", 6));
    EXPECT_EQ(le.text, "[a");
    EXPECT_EQ(le.encoding, E::Utf16LeWithBom);
    const LyricsFileText be = DecodeLyricsFile(std::string("\xFE\xFF\0[\0a", 6));
    EXPECT_EQ(be.text, "[a");
    EXPECT_EQ(be.encoding, E::Utf16BeWithBom);
}

TEST(LyricsFile, UnmarkedFilesAreUtf8OnlyWhenEveryByteSaysSo) {
    const std::string gbk = Utf8ToGbk("[00:01.00]你好\r\n[00:02.00]晚风");
    EXPECT_EQ(DecodeLyricsFile("[00:01.00]你好\r\n[00:02.00]晚风").text, gbk);
    EXPECT_EQ(DecodeLyricsFile("[00:01.00]你好").encoding, E::Utf8);
    // GBK as the Windows system wrote it.
    EXPECT_EQ(DecodeLyricsFile(gbk).text, gbk);
    EXPECT_EQ(DecodeLyricsFile(gbk).encoding, E::Gbk);
    // ASCII reads the same either way: the bytes do not tell.
    EXPECT_EQ(DecodeLyricsFile("[00:01.00]plain").text, "[00:01.00]plain");
    EXPECT_EQ(DecodeLyricsFile("[00:01.00]plain").encoding, std::nullopt);
    // Outside GBK too: GB18030 keeps every character.
    EXPECT_EQ(GbkToUtf8(DecodeLyricsFile("[00:01.00]😀").text), "[00:01.00]😀");
    // Not well-formed UTF-8: an overlong form, a surrogate, a cut sequence at the end, a lone
    // continuation byte, beyond U+10FFFF. Such bytes stay as they are.
    for (const std::string bad : {"a\xC0\xAF"
                                  "b",
                                  "a\xED\xA0\x80"
                                  "b",
                                  "\xE4\xBD\xA0\xE5\xA5", "\x80x", "\xF4\x90\x80\x80"}) {
        EXPECT_EQ(DecodeLyricsFile(bad).text, bad);
        EXPECT_EQ(DecodeLyricsFile(bad).encoding, E::Gbk);
    }
}

TEST(LyricsFile, EveryEncodingReadsBackAsWritten) {
    const std::string text = Utf8ToGbk("[00:01.00]晚风 Beyoncé\r\n[00:02.00]😀\r\n");
    EXPECT_EQ(EncodeLyricsFile(text, E::Utf8), "[00:01.00]晚风 Beyoncé\r\n[00:02.00]😀\r\n");
    EXPECT_EQ(EncodeLyricsFile(text, E::Gbk), text);
    EXPECT_EQ(EncodeLyricsFile("[a", E::Utf16BeWithBom), std::string("\xFE\xFF\0[\0a", 6));
    for (E encoding : {E::Gbk, E::Utf8, E::Utf8WithBom, E::Utf16LeWithBom, E::Utf16BeWithBom}) {
        const LyricsFileText again = DecodeLyricsFile(EncodeLyricsFile(text, encoding));
        EXPECT_EQ(again.text, text) << static_cast<int>(encoding);
        EXPECT_EQ(again.encoding, encoding);
    }
    EXPECT_EQ(NewLyricsFileEncoding(TagTextEncoding::Unicode), E::Utf8);
    EXPECT_EQ(NewLyricsFileEncoding(TagTextEncoding::Gbk), E::Gbk);
}

TEST(LyricsFile, ARewriteKeepsTheEncodingOfTheFileThere) {
    test::TempDir dir;
    const std::string text = Utf8ToGbk("[00:01.00]新的一行\r\n");
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"utf8.lrc", "[00:01.00]旧\r\n", "[00:01.00]新的一行\r\n"},
        {"bom.lrc", "\xEF\xBB\xBF[00:01.00]old\r\n", "\xEF\xBB\xBF[00:01.00]新的一行\r\n"},
        {"gbk.lrc", Utf8ToGbk("[00:01.00]旧\r\n"), text},
        {"le.lrc", std::string("\xFF\xFE[\0", 4), "\xFF\xFE" + GbkToUtf16Le(text)},
        // Bytes that tell nothing, and no file at all, take the encoding for new files.
        {"ascii.lrc", "[00:01.00]old\r\n", text},
        {"new.lrc", "", text},
    };
    for (const auto& c : cases) {
        if (!c.before.empty()) dir.write(c.name, c.before);
        std::string error;
        ASSERT_TRUE(WriteLyricsFile(dir.file(c.name), text, E::Gbk, &error)) << error;
        EXPECT_EQ(dir.read(c.name), c.after) << c.name;
    }
    ASSERT_TRUE(WriteLyricsFile(dir.file("fresh.lrc"), text, E::Utf8, nullptr));
    EXPECT_EQ(dir.read("fresh.lrc"), "[00:01.00]新的一行\r\n");
    EXPECT_FALSE(ReadLyricsFile(dir.file("missing.lrc")).has_value());
    EXPECT_FALSE(ReadLyricsFile(dir.path().string()).has_value());  // a folder
    EXPECT_EQ(ReadLyricsFile(dir.file("le.lrc"))->text, text);
}

}  // namespace
}  // namespace pelvano::core
