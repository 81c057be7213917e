#include "core/app/TextHelpers.h"

#include <gtest/gtest.h>

namespace pelvano::core {
namespace {

TEST(Fields, CountGetLeftPad) {
    EXPECT_EQ(CountFields("", ";"), 1);
    EXPECT_EQ(CountFields("x~~y~~z", "~~"), 3);
    EXPECT_EQ(GetField("x~~y~~z", "~~", 2), "y");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 3), "z");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 4), "");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 0), "");
    EXPECT_EQ(GetField("a^^^b", "^^", 2), "^b");  // non-overlapping, from the left
    EXPECT_EQ(CountFields("^^^", "^^"), 2);
    EXPECT_EQ(GetField("a;b;c;d", ";", 2), "b");
    EXPECT_EQ(LeftText("abc", -1), "");
    EXPECT_EQ(LeftText("abc", 2), "ab");
    EXPECT_EQ(LeftText("abc", 9), "abc");
    EXPECT_EQ(PadLeft("1", ' ', 4), "   1");
    EXPECT_EQ(PadLeft("12345", ' ', 4), "12345");
    EXPECT_EQ(PadLeft("1", ' ', -1), "");
}

TEST(Integers, AcceptedForms) {
    EXPECT_EQ(StrToIntDef("42", -1), 42);
    EXPECT_EQ(StrToIntDef("  -42", -1), -42);
    EXPECT_EQ(StrToIntDef("+7", -1), 7);
    EXPECT_EQ(StrToIntDef("$1F", -1), 31);
    EXPECT_EQ(StrToIntDef("x1f", -1), 31);
    EXPECT_EQ(StrToIntDef("0X10", -1), 16);
    EXPECT_EQ(StrToIntDef("$FFFFFFFF", 0), -1);  // 32-bit hexadecimal wraps, as colours need
    EXPECT_EQ(StrToIntDef("2147483647", 0), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), -2147483647 - 1);
}

TEST(Integers, RejectedFormsGiveTheDefault) {
    for (const char* bad : {"", " ", "12 ", "1.5", "abc", "2147483648", "-2147483649", "$", "0x", "$100000000",
                            "+", "--1", "1e3", "99999999999999999999999"}) {
        EXPECT_EQ(StrToIntDef(bad, -7), -7) << '"' << bad << '"';
    }
}

TEST(TimeTexts, HoursMinutesSeconds) {
    EXPECT_EQ(ParseHms("12:30"), 45000);
    EXPECT_EQ(ParseHms(" 1 : 2 : 3 "), 3723);
    EXPECT_EQ(ParseHms("99:99:99"), 362439);
    EXPECT_EQ(ParseHms("::"), 0);
    EXPECT_EQ(ParseHms("a:5:b"), 300);
    EXPECT_EQ(ParseHms("2147483647:0:0"), 2147483647);  // saturates instead of overflowing
    EXPECT_EQ(FormatHms(3723), "01:02:03");
    EXPECT_EQ(FormatHms(100 * 3600), "100:00:00");
    const LocalDateTime t{2026, 3, 4, 5, 6, 7, 89};
    EXPECT_EQ(NowHms(t), "05:06:07");
    EXPECT_EQ(NowHmsMs(t), "05:06:07.089");
    EXPECT_EQ(FormatDate(t, true), "2026-03-04");
    EXPECT_EQ(FormatDate(t, false), "20260304");
    EXPECT_EQ(FormatTimeOfDay(t, false), "050607");
    EXPECT_EQ(TimeToSeconds(t), 18367);
}

TEST(TimeTexts, LyricsTimes) {
    EXPECT_EQ(ParseMinSec("00:10"), 10000);
    EXPECT_EQ(ParseMinSec("01:02.5"), 62500);
    EXPECT_EQ(ParseMinSec("01:02.50"), 62500);
    EXPECT_EQ(ParseMinSec("01:02.05"), 62050);
    EXPECT_EQ(ParseMinSec("01:02.0005"), 62000);  // half a millisecond rounds to even
    EXPECT_EQ(ParseMinSec("01:02.0015"), 62002);
    EXPECT_EQ(ParseMinSec("01:02.x"), 62000);
    EXPECT_EQ(ParseMinSec("01:02.1e3"), 62000);
    EXPECT_EQ(FormatMinSec(62345), "01:02.34");
    EXPECT_EQ(FormatMinSec(0), "00:00.00");
}

TEST(Flags, YesNo) {
    EXPECT_TRUE(IsYes("yes"));
    EXPECT_TRUE(IsYes("True"));
    EXPECT_TRUE(IsYes("YES"));
    EXPECT_FALSE(IsYes(" YES"));
    EXPECT_FALSE(IsYes(""));
    EXPECT_FALSE(IsYes("1"));
    EXPECT_EQ(YesNo(true), "YES");
    EXPECT_EQ(YesNo(false), "NO");
}

TEST(CaseFolding, GbkTrailBytesAreNotLetters) {
    // "\x81\x61" is one double-byte character; its trail byte 'a' must not be folded.
    EXPECT_FALSE(EqualsIgnoreCaseGbk("\x81\x61", "\x81\x41"));
    EXPECT_TRUE(EqualsIgnoreCaseGbk("\x81\x61start", "\x81\x61START"));
}

TEST(Dates, WeekdaysAndDayArithmetic) {
    EXPECT_EQ((LocalDateTime{2026, 12, 6}).weekday(), 1);  // a Sunday
    EXPECT_EQ((LocalDateTime{2026, 12, 12}).weekday(), 7);
    EXPECT_EQ((LocalDateTime{1970, 1, 1}).weekday(), 5);
    const LocalDateTime next = LocalDateTime{2024, 2, 28, 23, 59, 59}.addDays(1);
    EXPECT_EQ(next, (LocalDateTime{2024, 2, 29, 23, 59, 59}));
    EXPECT_EQ((LocalDateTime{2026, 12, 31}.addDays(1)), (LocalDateTime{2027, 1, 1}));
}

}  // namespace
}  // namespace pelvano::core
