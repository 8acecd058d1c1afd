#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include <QCursor>
#include <QFile>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QResource>
#include <QString>
#include <QTemporaryDir>

#include "imaging/imageTools.h"
#include "platform/appFolder.h"

namespace imaging {
namespace {

TEST(TextConversion, WideToAnsiUsesTheWesternSet)
{
    EXPECT_EQ(WideToAnsi(std::u16string()), "");
    EXPECT_EQ(WideToAnsi(u"Holiday 2024"), "Holiday 2024");
    EXPECT_EQ(WideToAnsi(u"caf\u00E9 \u00FF"), "caf\xE9 \xFF");
    EXPECT_EQ(WideToAnsi(u"\u20AC \u2019 \u0178 \u017E"), "\x80 \x92 \x9F \x9E");
    // Characters the set lacks become "?", one per character even outside the 16-bit range.
    EXPECT_EQ(WideToAnsi(u"\u0100\u4E2D"), "??");
    EXPECT_EQ(WideToAnsi(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(WideToAnsi(u"x\xD800y"), "x?y");
    EXPECT_EQ(WideToAnsi(QStringLiteral("\u00C5ngstr\u00F6m")), "\xC5ngstr\xF6m");
}

TEST(TextConversion, CombiningMarksComposeOrAreDropped)
{
    EXPECT_EQ(WideToAnsi(u"e\u0301t\u00E9"), "\xE9t\xE9");
    EXPECT_EQ(WideToAnsi(u"q\u0301"), "q");
    EXPECT_EQ(WideToAnsi(u"\u0301a"), "a");
    EXPECT_EQ(WideToAnsi(u"n\u0303o"), "\xF1o");
}

TEST(TextConversion, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::u16string wide = AnsiToWide(all);
    ASSERT_EQ(wide.size(), all.size());
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');
    EXPECT_EQ(wide[0x81 - 1], u'\u0081');
    EXPECT_EQ(wide[0xE9 - 1], u'\u00E9');
    EXPECT_EQ(WideToAnsi(wide), all);
    EXPECT_EQ(AnsiToQString("caf\xE9"), QStringLiteral("caf\u00E9"));
    EXPECT_TRUE(AnsiToWide("").empty());
}

TEST(TextConversion, TextEndsAtTheFirstNul)
{
    EXPECT_EQ(WideToAnsi(std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), u"ab");
}

TEST(RandomTag, FollowsItsShapeAndNeverRepeatsAtOnce)
{
    std::set<std::string> seen;
    std::string previous;
    for (int i = 0; i < 3000; ++i) {
        const std::string tag = RandomTag();
        ASSERT_EQ(tag.size(), 8u);
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(tag[0]))) << tag;
        bool digitZeroToEight = false;
        for (std::size_t k = 1; k < 8; ++k) {
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(tag[k]))) << tag;
            EXPECT_NE(tag[k], tag[k - 1]) << tag;
            digitZeroToEight |= tag[k] >= '0' && tag[k] <= '8';
        }
        EXPECT_TRUE(digitZeroToEight) << tag;
        EXPECT_NE(tag, previous);
        previous = tag;
        seen.insert(tag);
    }
    // Calls far faster than the clock's millisecond still give fresh tags.
    EXPECT_EQ(seen.size(), 3000u);
}

TEST(StartUp, RegistersNothingWithoutTheCursorResources)
{
    EXPECT_EQ(PrepareImageTools(), 0);
    EXPECT_FALSE(IsCursorRegistered(251));
    EXPECT_EQ(CustomCursor(253).shape(), Qt::ArrowCursor);
    EXPECT_EQ(HandPointCursor().shape(), Qt::PointingHandCursor);
    const std::string& folder = platform::ApplicationFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
}

// Runs after the test above: the registry keeps what it registered.
TEST(StartUp, RegistersTheSevenCursorsWithTheirHotSpots)
{
    QTemporaryDir dir;
    QString entries;
    for (int id = kFirstCustomCursor; id <= kLastCustomCursor; ++id) {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(id - kFirstCustomCursor, 0, 0xFF000000u);
        ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("%1.png").arg(id))));
        entries += QStringLiteral("<file>%1.png</file>").arg(id);
    }
    QFile qrc(dir.filePath(QStringLiteral("cursors.qrc")));
    ASSERT_TRUE(qrc.open(QIODevice::WriteOnly));
    qrc.write(QStringLiteral("<RCC><qresource prefix=\"/cursors\">%1</qresource></RCC>").arg(entries).toUtf8());
    qrc.close();
    const QString bundle = dir.filePath(QStringLiteral("cursors.rcc"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(STILLREEL_RCC),
                  {QStringLiteral("-binary"), qrc.fileName(), QStringLiteral("-o"), bundle}),
        0);
    ASSERT_TRUE(QResource::registerResource(bundle));

    EXPECT_EQ(PrepareImageTools(), 7);
    EXPECT_TRUE(IsCursorRegistered(250));
    EXPECT_TRUE(IsCursorRegistered(256));
    EXPECT_FALSE(IsCursorRegistered(257));
    EXPECT_EQ(CustomCursor(251).hotSpot(), QPoint(0, 0));
    EXPECT_EQ(CustomCursor(253).hotSpot(), QPoint(15, 16));
    EXPECT_EQ(CustomCursor(250).hotSpot(), QPoint(16, 15));
    EXPECT_EQ(CustomCursor(254).shape(), Qt::BitmapCursor);
    QResource::unregisterResource(bundle);
}

}  // namespace
}  // namespace imaging
