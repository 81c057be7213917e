#include "core/app/Encoding.h"

#include <gtest/gtest.h>

namespace pelvano::core {
namespace {

TEST(Encoding, GbkAndUtf8RoundTrip) {
    const std::string gbk = "\xB2\xA5\xB3\xF6";  // 播出
    EXPECT_EQ(GbkToUtf8(gbk), "播出");
    EXPECT_EQ(Utf8ToGbk("播出"), gbk);
    EXPECT_EQ(Gbk("播出"), gbk);
    // Outside GBK: a four-byte GB18030 sequence survives both ways.
    const std::string rare = "\xF0\xA0\x80\x80";  // U+20000
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk(rare)), rare);
    EXPECT_EQ(Utf8ToGbk("abc\xFF" "def"), "abc?def");
}

TEST(Encoding, EscapedFormIsReversible) {
    const std::string bytes = std::string("a\\b\tc\r\nd\xB2\xA5") + "\xFF" + "\x81" + std::string(1, '\0') + "z";
    const std::string escaped = GbkToUtf8(bytes, InvalidBytes::Escape);
    EXPECT_EQ(escaped.find('\t'), std::string::npos);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_NE(escaped.find("\\xFF"), std::string::npos);
    EXPECT_EQ(EscapedUtf8ToGbk(escaped), bytes);
    EXPECT_EQ(EscapedUtf8ToGbk("\\q\\x4"), "\\q\\x4");  // unknown escapes stay as written
    EXPECT_FALSE(IsValidGb18030("\xFF"));
    EXPECT_TRUE(IsValidGb18030("\xB2\xA5 ok"));
}

TEST(Encoding, Utf16) {
    EXPECT_EQ(Utf16LeToGbk(std::string("\x2D\x4E\x87\x65", 4)), Gbk("中文"));
    EXPECT_EQ(Utf16BeToGbk(std::string("\x4E\x2D\x65\x87", 4)), Gbk("中文"));
    EXPECT_EQ(Utf16LeToGbk(std::string("A\0B", 3)), "A");             // odd trailing byte dropped
    EXPECT_EQ(Utf16LeToGbk(std::string("\x00\xD8" "A\0", 4)), "A");  // lone surrogate dropped
}

}  // namespace
}  // namespace pelvano::core
