#include "export/cleanFileName.h"

#include <gtest/gtest.h>

using exporting::AlbumFolderChars;
using exporting::CleanFileName;
using exporting::FileNameChars;

namespace {

struct CleanCase {
    const char16_t* text;
    bool albumFolder;
    const char16_t* expected;
};

class CleanFileNameCases : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanFileNameCases, GivesTheFileName)
{
    const CleanCase& c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(CleanFileName(text, c.albumFolder ? AlbumFolderChars : FileNameChars), QString::fromUtf16(c.expected))
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Names, CleanFileNameCases, ::testing::Values(
    CleanCase{u"My Trip: Rome/Paris", false, u"my-trip-romeparis"},
    CleanCase{u"Sunset Beach", false, u"sunset-beach"},
    // Only A to Z are lowered; a decomposed capital is composed first and stays as it is.
    CleanCase{u"\u00C4rger", false, u"\u00C4rger"},
    CleanCase{u"A\u0308rger", false, u"\u00C4rger"},
    CleanCase{u"Dad's Party", true, u"dads-party"},
    CleanCase{u"\u65E5\u672C Reise", false, u"\u65E5\u672C-reise"},
    CleanCase{u"a\\b:c*d?e\"f<g>h|i", false, u"abcdefghi"},
    // Nothing that climbs out of the chosen folder or hides itself.
    CleanCase{u"", false, u"untitled"},
    CleanCase{u".", false, u"untitled"},
    CleanCase{u"..", true, u"untitled"},
    CleanCase{u" . . ", false, u"untitled"},
    CleanCase{u"\"?\"", true, u"untitled"},
    CleanCase{u"a..b", false, u"a..b"}));

TEST(UniqueNames, LaterEqualNamesGetNumbers)
{
    exporting::TUniqueNames names;
    EXPECT_EQ(names.Claim(QStringLiteral("untitled")), QStringLiteral("untitled"));
    EXPECT_EQ(names.Claim(QStringLiteral("untitled-2")), QStringLiteral("untitled-2"));
    EXPECT_EQ(names.Claim(QStringLiteral("untitled")), QStringLiteral("untitled-3"));
    EXPECT_EQ(names.Claim(QStringLiteral("untitled")), QStringLiteral("untitled-4"));
    EXPECT_EQ(names.Claim(QStringLiteral("beach")), QStringLiteral("beach"));
}

}  // namespace
