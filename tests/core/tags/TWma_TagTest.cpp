#include <gtest/gtest.h>

#include "core/app/Encoding.h"
#include "core/tags/TWma_Tag.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::AsfDescriptor;
using test::AsfHeader;
using test::AsfObject;
using test::ContentDescription;
using test::ExtendedContentDescription;
using test::Le32;
using test::Utf16z;

constexpr std::uint16_t kText = 0;
constexpr std::uint16_t kBinary = 1;
constexpr std::uint16_t kNumber32 = 3;

std::string dataObject() {
    return AsfObject("75B22636-668E-11CF-A6D9-00AA0062CE6C", "packets");
}

class TWma_TagRead : public ::testing::Test {
  protected:
    bool read(std::string_view bytes) { return tag.ReadFromFile(dir.write("a.wma", bytes)); }
    test::TempDir dir;
    TWma_Tag tag;
};

TEST_F(TWma_TagRead, ContentDescriptionAndAttributes) {
    const std::u16string title(40, u'题');
    const std::string header = AsfHeader({
        AsfObject("8CABDCA1-A947-11CF-8EE4-00C00C205365", std::string(80, 'p')),
        ContentDescription({Utf16z(title), "", Utf16z(u"(c)"), Utf16z(u"描述"), Utf16z(u"r")}),
        ExtendedContentDescription({
            {Utf16z(u"WMFSDKVersion"), kText, Utf16z(u"12.0")},
            {Utf16z(u"WM/AlbumTitle"), kText, Utf16z(u"专辑")},
            {Utf16z(u"wm/year"), kText, Utf16z(u"1999")},
            {Utf16z(u"WM/Year"), kText, Utf16z(u"2001")},
            {Utf16z(u"WM/Genre"), kBinary, "\x01\x02"},
            {Utf16z(u"WM/TrackNumber"), kNumber32, Le32(5)},
            {Utf16z(u"WM/Track"), kText, Utf16z(u"4")},
            {Utf16z(u"WM/Lyrics"), kText, ""},
            {Utf16z(u"WM/Unknown"), kText, Utf16z(u"x")},
            {Utf16z(u"WM/URL"), kText, Utf16z(u"http://a")},
            {Utf16z(u"WM/UserWebURL"), kText, Utf16z(u"http://b")},
            {Utf16z(u"WM/EncodedBy"), kText, Utf16z(u"enc")},
        }),
    });
    ASSERT_TRUE(read(header + dataObject()));
    EXPECT_EQ(tag.HeaderSize, static_cast<std::int64_t>(header.size()));
    std::string title40;
    for (int i = 0; i < 40; ++i) title40 += "题";
    EXPECT_EQ(tag.Title, Utf8ToGbk(title40));
    EXPECT_EQ(tag.Author, "");
    EXPECT_EQ(tag.Rights, "(c)");
    EXPECT_EQ(tag.Description, Utf8ToGbk("描述"));
    EXPECT_EQ(tag.WMFSDKVersion, "12.0");
    EXPECT_EQ(tag.AlbumTitle, Utf8ToGbk("专辑"));
    EXPECT_EQ(tag.Year, "2001");
    EXPECT_EQ(tag.Genre, "");
    EXPECT_EQ(tag.TrackNumber, "5");
    EXPECT_EQ(tag.Track, "4");
    EXPECT_EQ(tag.Lyrics, "");
    EXPECT_EQ(tag.URL, "http://a");
    EXPECT_EQ(tag.UserWebURL, "http://b");
    EXPECT_EQ(tag.EncodedBy, "enc");
}

TEST_F(TWma_TagRead, TrackNumberAsTextAndNotAsfFiles) {
    ASSERT_TRUE(read(AsfHeader(
        {ExtendedContentDescription({{Utf16z(u"WM/TrackNumber"), kText, Utf16z(u"5")}})})));
    EXPECT_EQ(tag.TrackNumber, "5");

    EXPECT_FALSE(read(std::string("\xFF\xFB\x90\x64", 4) + std::string(600, 'm')));
    EXPECT_EQ(tag.TrackNumber, "");
    EXPECT_FALSE(read(AsfHeader({}).substr(0, 23)));
    EXPECT_FALSE(tag.ReadFromFile(dir.file("missing.wma")));
}

TEST_F(TWma_TagRead, DamagedHeadersGiveWhatWasWhole) {
    const std::string description = ContentDescription({Utf16z(u"T"), Utf16z(u"A"), "", "", ""});
    // Header sizes below 30 and past the end of the file.
    EXPECT_TRUE(
        read(AsfHeader({description}, -(24 + 6 + static_cast<int>(description.size())) + 29)));
    EXPECT_EQ(tag.Title, "");
    EXPECT_TRUE(read(AsfHeader({description}, 1 << 20)));
    EXPECT_EQ(tag.Title, "T");

    // A descriptor whose value length (65535) runs past its object; an object of size 0.
    std::string extended = ExtendedContentDescription(
        {{Utf16z(u"WM/Year"), kText, Utf16z(u"1")}, {Utf16z(u"WM/Genre"), kText, "x"}});
    extended.replace(extended.size() - 3, 2, "\xFF\xFF");
    std::string zeroSized = AsfObject("75B22633-668E-11CF-A6D9-00AA0062CE6C", "");
    zeroSized.replace(16, 8, std::string(8, '\0'));
    EXPECT_TRUE(read(AsfHeader({description, extended, zeroSized, description})));
    EXPECT_EQ(tag.Author, "A");
    EXPECT_EQ(tag.Year, "1");
    EXPECT_EQ(tag.Genre, "");

    // Odd lengths and a name without its terminator.
    const std::string unterminated = std::string("W\0M\0/\0Y\0e\0a\0r\0", 14);
    EXPECT_TRUE(read(AsfHeader(
        {ContentDescription({Utf16z(u"Tt").substr(0, 5), "", "", "", ""}),
         ExtendedContentDescription({{unterminated, kText, Utf16z(u"2002") + "\x01"}})})));
    EXPECT_EQ(tag.Title, "Tt");
    EXPECT_EQ(tag.Year, "2002");
}

}  // namespace
}  // namespace pelvano::core
