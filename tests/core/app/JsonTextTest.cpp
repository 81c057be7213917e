#include <gtest/gtest.h>

#include "core/app/JsonText.h"

namespace pelvano::core {
namespace {

TEST(JsonQuoted, EscapesWhatJsonRequiresAndKeepsCharacters) {
    EXPECT_EQ(JsonQuoted(""), "\"\"");
    EXPECT_EQ(JsonQuoted("晨光 - 林晓"), "\"晨光 - 林晓\"");
    EXPECT_EQ(JsonQuoted("a \"b\" c:\\d\\e.mp3"), R"("a \"b\" c:\\d\\e.mp3")");
    EXPECT_EQ(JsonQuoted("1\n2\r3\t4"), R"("1\n2\r3\t4")");
    EXPECT_EQ(JsonQuoted(std::string("x\0y\x1f\x7f", 5)), R"("x\u0000y\u001f\u007f")");
    EXPECT_EQ(JsonQuoted("\xF0\x9F\x8E\xB5"), "\"\xF0\x9F\x8E\xB5\"");  // beyond the BMP
}

TEST(JsonQuoted, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    // A GBK name, a lone continuation byte, a cut sequence, an overlong form, a surrogate,
    // a code point beyond U+10FFFF.
    EXPECT_EQ(JsonQuoted("\xCE\xE7.mp3"), R"("\ufffd\ufffd.mp3")");
    EXPECT_EQ(JsonQuoted("a\x80z"), R"("a\ufffdz")");
    EXPECT_EQ(JsonQuoted("a\xE6\x99"), R"("a\ufffd\ufffd")");
    EXPECT_EQ(JsonQuoted("\xC0\xAF"), R"("\ufffd\ufffd")");
    EXPECT_EQ(JsonQuoted("\xED\xA0\x80"), R"("\ufffd\ufffd\ufffd")");
    EXPECT_EQ(JsonQuoted("\xF4\x90\x80\x80"), R"("\ufffd\ufffd\ufffd\ufffd")");
}

}  // namespace
}  // namespace pelvano::core
