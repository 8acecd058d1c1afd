#include "export/albumPage.h"

#include <gtest/gtest.h>

#include "library/libraryRecords.h"

using namespace exporting;

namespace {

TImageLibraryItemData Item(const QString& name, const QString& comment)
{
    TImageLibraryItemData item;
    item.Name = name;
    item.Comment = comment;
    item.Uri = QStringLiteral("Kd3RmTqa48213906");
    return item;
}

TEST(AlbumBlock, KeepsItsPiecesAndLineBreaksByteForByte)
{
    const QString block =
        AlbumBlock(QStringLiteral("kd3rmtqa48213906"), Item(QStringLiteral("Beach"), QStringLiteral("first day")),
            QStringLiteral("Holidays"));
    EXPECT_EQ(PageBytes({block}),
        QByteArray("<div class=\"box\">\n\r"
                   "<div class=\"thick\">\n"
                   "<a href=\"images/kd3rmtqa48213906.jpg\" title=\"Beach\n\rfirst day\" id=\"fancybox\" "
                   "rel=\"Holidays\"><img src=\"images/kd3rmtqa48213906_thumbnail.jpg\" /></a>\n\r"
                   "</div>\n\r"
                   "<p><b class=\"bm\">Beach</b><br/>first day\n\r"
                   "</p>\n\r"
                   "</div>\r\n"));
}

TEST(AlbumBlock, EscapesNamesAndShowsCommentLineBreaks)
{
    const QString block = AlbumBlock(QStringLiteral("s"),
        Item(QStringLiteral("<script>\"Tom's\" & Jerry"), QStringLiteral("one\r\ntwo")), QStringLiteral("a\"b"));
    EXPECT_TRUE(block.contains(QStringLiteral("title=\"&lt;script&gt;&quot;Tom&#39;s&quot; &amp; Jerry\n\rone\r\ntwo\"")));
    EXPECT_TRUE(block.contains(QStringLiteral("rel=\"a&quot;b\"")));
    EXPECT_TRUE(block.contains(
        QStringLiteral("<b class=\"bm\">&lt;script&gt;&quot;Tom&#39;s&quot; &amp; Jerry</b><br/>one<br/>\r\ntwo\n\r")));
    EXPECT_FALSE(block.contains(QStringLiteral("<script")));
}

TEST(PageBytes, WritesTheEightBitSetAndReferencesTheRest)
{
    // é and € are in the set (0xE9, 0x80); the Japanese letters are not.
    EXPECT_EQ(PageBytes({QStringLiteral("caf\u00E9 \u20AC \u65E5\u672C"), QString()}),
        QByteArray("caf\xE9 \x80 &#26085;&#26412;\r\n\r\n"));
}

TEST(FormatTemplate, PlacesArgumentsByOrderAndByNumber)
{
    const QStringList args{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    EXPECT_EQ(FormatTemplate(QStringLiteral("%s-%s"), args), QStringLiteral("a-b"));
    EXPECT_EQ(FormatTemplate(QStringLiteral("%2:s %s %0:s %s 100%%"), args), QStringLiteral("c d a b 100%"));
    for (const char* bad : {"50%", "%d", "%4:s", "%1s", "%s%s%s%s%s"})
        EXPECT_THROW(FormatTemplate(QString::fromLatin1(bad), args), EFormatError) << bad;
}

}  // namespace
