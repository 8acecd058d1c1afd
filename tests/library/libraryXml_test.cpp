#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>

#include "libraryTestUtil.h"
#include "library/libraryXml.h"
#include "library/listManager.h"

using librarytest::ReadFile;
using librarytest::WriteFile;

namespace {

const std::string Header = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TImageLibraryItemData Item(const QString& name, const QString& uri, const QString& comment = {})
{
    TImageLibraryItemData item;
    item.Name = name;
    item.Uri = uri;
    item.Comment = comment;
    return item;
}

class IndexFile : public ::testing::Test {
protected:
    std::string Base() const { return folder.path().toStdString() + "/"; }
    std::string List() const { return Base() + "list"; }

    // What a store makes of `bytes` as its index file.
    std::string Saved(TListManager& store)
    {
        store.SaveList(List());
        return ReadFile(List());
    }

    QTemporaryDir folder;
};

TEST_F(IndexFile, ExampleLibraryIsWrittenLineForLine)
{
    TListManager store(Base());
    store.AddCategory({QStringLiteral("Holiday"), QStringLiteral("Summer")});
    store.AddItem(0, Item(QStringLiteral("Beach"), QStringLiteral("Kd3RmTqa48213906"), QStringLiteral("first day")));
    store.AddItem(-1, Item(QStringLiteral("Untitled"), QStringLiteral("Pq7XzWvb1290")));
    EXPECT_EQ(Saved(store), Header
              + "<library>\r\n"
                "  <category type=\"category\" name=\"Holiday\" caption=\"Summer\">\r\n"
                "    <item type=\"item\">\r\n"
                "      <type>image</type>\r\n"
                "      <name>Beach</name>\r\n"
                "      <caption/>\r\n"
                "      <uri>Kd3RmTqa48213906</uri>\r\n"
                "      <comment>first day</comment>\r\n"
                "    </item>\r\n"
                "  </category>\r\n"
                "  <item type=\"item\">\r\n"
                "    <type>image</type>\r\n"
                "    <name>Untitled</name>\r\n"
                "    <caption/>\r\n"
                "    <uri>Pq7XzWvb1290</uri>\r\n"
                "    <comment/>\r\n"
                "  </item>\r\n"
                "</library>\r\n");
}

TEST_F(IndexFile, EmptyLibraryIsTheThreeLineFile)
{
    {
        TListManager store(Base());
    }
    EXPECT_EQ(ReadFile(List()), Header + "<library/>\r\n");
}

TEST_F(IndexFile, EveryCharacterIsEscapedAndReadBackAsTyped)
{
    const QString comment = QStringLiteral("line one\r\nline two\tend 'quoted' \"too\" \u0141\u00F3d\u017A");
    const QString japanese = QStringLiteral("Renamed \u65E5\u672C \u00FC");
    const QString emoji = QStringLiteral("\U0001F600 \u20AC 5");
    {
        TListManager store(Base());
        store.AddCategory({QStringLiteral("R&D <new>"), QStringLiteral("Caf\u00E9 \u03B1")});
        store.AddItem(0, Item(japanese, QStringLiteral("Ab1"), comment));
        store.AddItem(0, Item(emoji, QStringLiteral("Ab2")));
        const std::string file = Saved(store);
        // What the 8-bit set holds keeps its byte's reference; the rest one reference per code
        // point, never a surrogate pair.
        EXPECT_NE(file.find("name=\"R&amp;D &lt;new&gt;\" caption=\"Caf&#xE9; &#x3B1;\""), std::string::npos) << file;
        EXPECT_NE(file.find("<name>Renamed &#x65E5;&#x672C; &#xFC;</name>"), std::string::npos) << file;
        EXPECT_NE(file.find("<name>&#x1F600; &#x80; 5</name>"), std::string::npos) << file;
        EXPECT_NE(file.find("<comment>line one\r\nline two\tend &apos;quoted&apos; &quot;too&quot; "
                            "&#x141;&#xF3;d&#x17A;</comment>"),
                  std::string::npos) << file;
        for (std::size_t i = 3; i < file.size(); ++i)
            ASSERT_LT(static_cast<unsigned char>(file[i]), 0x80) << "at " << i;
    }
    TListManager reread(Base());
    const library::TXmlElement& category = reread.Root().Children.at(0);
    EXPECT_EQ(library::ReadCategory(category).Name, QStringLiteral("R&D <new>"));
    EXPECT_EQ(library::ReadCategory(category).Caption, QStringLiteral("Caf\u00E9 \u03B1"));
    const TImageLibraryItemData item = library::ReadItem(category.Children.at(0));
    EXPECT_EQ(item.Name, japanese);
    EXPECT_EQ(item.Comment, comment);
    EXPECT_EQ(item.Uri, QStringLiteral("Ab1"));
    EXPECT_EQ(library::ReadItem(category.Children.at(1)).Name, emoji);
}

TEST_F(IndexFile, ForeignRootAndElementsAreKeptAndWrittenBack)
{
    WriteFile(List(), "<?xml version=\"1.1\" standalone=\"yes\"?>\n"
                      "<images>\n"
                      " <note kind=\"x\">keep me</note>\n"
                      " <Item TYPE=\"item\" extra=\"1\"><NAME>Shot</NAME><uri>Ab1</uri><rating>5</rating></Item>\n"
                      " <item type=\"Item\"><name>not an item</name></item>\n"
                      "</images>\n");
    TListManager store(Base());
    ASSERT_TRUE(store.LoadError().isEmpty()) << store.LoadError().toStdString();
    EXPECT_EQ(store.Root().Name, "library");
    ASSERT_EQ(store.Root().Children.size(), 3u);
    EXPECT_FALSE(library::EntryKind(store.Root().Children[0]));
    EXPECT_EQ(library::EntryKind(store.Root().Children[1]), nkItem);
    EXPECT_FALSE(library::EntryKind(store.Root().Children[2])) << "type values compare exactly";
    const TImageLibraryItemData item = library::ReadItem(store.Root().Children[1]);
    EXPECT_EQ(item.Name, QStringLiteral("Shot"));
    EXPECT_EQ(item.Caption, QString());
    EXPECT_EQ(item.Uri, QStringLiteral("Ab1"));

    store.UpdateItem(-1, 1, Item(QStringLiteral("Renamed"), {}, QStringLiteral("new")));
    EXPECT_EQ(Saved(store), "\xEF\xBB\xBF<?xml version=\"1.1\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                            "<library>\r\n"
                            "  <note kind=\"x\">keep me</note>\r\n"
                            "  <Item TYPE=\"item\" extra=\"1\">\r\n"
                            "    <NAME>Renamed</NAME>\r\n"
                            "    <uri>Ab1</uri>\r\n"
                            "    <rating>5</rating>\r\n"
                            "    <comment>new</comment>\r\n"
                            "  </Item>\r\n"
                            "  <item type=\"Item\">\r\n"
                            "    <name>not an item</name>\r\n"
                            "  </item>\r\n"
                            "</library>\r\n");
}

TEST_F(IndexFile, EncodingFollowsByteOrderMarkOrHeader)
{
    const auto nameIn = [this](const std::string& bytes) {
        WriteFile(List(), bytes);
        TListManager store(Base());
        EXPECT_TRUE(store.LoadError().isEmpty()) << store.LoadError().toStdString();
        return store.Root().Children.empty() ? QString() : library::ReadCategory(store.Root().Children[0]).Name;
    };
    const std::string body = "<library><category type=\"category\" name=\"Caf\xC3\xA9 \xE2\x82\xAC\"/></library>";
    const QString expected = QStringLiteral("Caf\u00E9 \u20AC");
    EXPECT_EQ(nameIn("\xEF\xBB\xBF" + body), expected);
    EXPECT_EQ(nameIn("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body), expected);
    // Without a mark or header the file is in the 8-bit set.
    EXPECT_EQ(nameIn("<library><category type=\"category\" name=\"Caf\xE9 \x80\"/></library>"), expected);

    const std::u16string wide = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><images>"
                                u"<category type=\"category\" name=\"Caf\u00E9 \u20AC\"/></images>";
    EXPECT_EQ(nameIn(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2)), expected);
}

TEST_F(IndexFile, ReferencesUpToFFAreBytesOfTheEightBitSetLargerOnesCodePoints)
{
    WriteFile(List(), "<library><category type=\"category\" name=\"&#233;&#xE9;&#x80;&#8364;&#x65E5;&#x1F600;"
                      "&#xD800;&#x110000;&#x99999999999;\" "
                      "caption=\"&amp;&lt;&gt;&quot;&apos; &nbsp; & &#; &#xZ;\"/></library>");
    TListManager store(Base());
    const TImageLibraryCategoryData category = library::ReadCategory(store.Root().Children.at(0));
    // An old index reads as it always has; what no character is becomes U+FFFD.
    EXPECT_EQ(category.Name,
              QStringLiteral("\u00E9\u00E9\u20AC\u20AC\u65E5\U0001F600\uFFFD\uFFFD\uFFFD"));
    EXPECT_EQ(category.Caption, QStringLiteral("&<>\"' &nbsp; & &#; &#xZ;"));
}

TEST_F(IndexFile, WhiteSpaceOnlyTextReadsEmptyOtherTextKeepsItsBlanks)
{
    WriteFile(List(), "<library><item type=\"item\"><name> Beach </name><comment>  \r\n\t \r\n</comment>"
                      "<caption><![CDATA[a<b]]></caption></item></library>");
    TListManager store(Base());
    const TImageLibraryItemData item = library::ReadItem(store.Root().Children.at(0));
    EXPECT_EQ(item.Name, QStringLiteral(" Beach "));
    EXPECT_EQ(item.Comment, QString());
    EXPECT_EQ(item.Caption, QStringLiteral("a<b"));
}

TEST(XmlReader, RefusesDocumentsThatAreNotWellFormed)
{
    for (const char* broken : {"", "<library>", "<library><item></library>", "plain text", "<a><b></a></b>"})
        EXPECT_THROW(library::ParseXml(broken), library::EXmlParseError) << broken;
    std::string deep;
    for (int i = 0; i < 1000; ++i)
        deep += "<a>";
    for (int i = 0; i < 1000; ++i)
        deep += "</a>";
    EXPECT_THROW(library::ParseXml(deep), library::EXmlParseError);
}

}  // namespace
