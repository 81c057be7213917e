// The desktop entry and our icon as a desktop installs them.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSet>

namespace {

const QString kPackaging = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../packaging/");

TEST(PackagingTest, TheIconRendersAndTheDesktopEntryStartsThePlayerWithIt) {
    const QImage icon(kPackaging + "pelvano.svg");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(64, 64));
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); y += 2)
        for (int x = 0; x < icon.width(); x += 2) colours.insert(icon.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);  // round corners on any background

    QFile entry(kPackaging + "pelvano.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    EXPECT_EQ(lines.first(), QStringLiteral("[Desktop Entry]"));
    for (const char* wanted :
         {"Type=Application", "Exec=pelvano %f", "Icon=pelvano", "Terminal=false"}) {
        EXPECT_TRUE(lines.contains(QString::fromLatin1(wanted))) << wanted;
    }
}

}  // namespace
