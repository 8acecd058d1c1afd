// The version record: what a body of any length yields, and which download addresses may open.
#include "update/updateRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using update::EvaluateUpdateBody;
using update::TUpdateInfoRecord;

std::string Body(const TUpdateInfoRecord& record, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(record.Bytes.data()), size);
}

TEST(UpdateRecord, VersionNumbersAgainstTheProgramsOwn)
{
    struct Case {
        std::int32_t version;
        int status;
    };
    // The comparison is signed: a negative number is no version at all.
    for (const Case c : {Case{4127, update::StatusLatest}, Case{4128, update::StatusNewer},
             Case{4000, update::StatusLatest}, Case{3999, update::StatusInvalid}, Case{INT32_MIN, update::StatusInvalid},
             Case{INT32_MAX, update::StatusNewer}}) {
        TUpdateInfoRecord record;
        EXPECT_EQ(EvaluateUpdateBody(Body(update::MakeUpdateRecord(c.version, "n", "a"), 333), 4127, record), c.status)
            << c.version;
    }
}

TEST(UpdateRecord, ShortBodiesAreInvalidOrZeroFilled)
{
    const TUpdateInfoRecord full = update::MakeUpdateRecord(4128, "Stillreel 4.1.2.8", "https://stillreel.example/x");
    TUpdateInfoRecord record = update::MakeUpdateRecord(4200, "left over", "https://old.example/");
    for (std::size_t size : {0, 3})
        EXPECT_EQ(EvaluateUpdateBody(Body(full, size), 4127, record), update::StatusInvalid) << size;
    // An invalid body leaves the last record alone.
    EXPECT_EQ(record.VersionName(), "left over");

    EXPECT_EQ(EvaluateUpdateBody(Body(full, 4), 4127, record), update::StatusNewer);
    EXPECT_EQ(record.VersionNumber(), 4128);
    EXPECT_EQ(record.VersionName(), "");
    EXPECT_EQ(record.DownloadAddress(), "");

    // 332 bytes: the address loses its last byte, which was a zero anyway.
    EXPECT_EQ(EvaluateUpdateBody(Body(full, 332), 4127, record), update::StatusNewer);
    EXPECT_EQ(record.VersionName(), "Stillreel 4.1.2.8");
    EXPECT_EQ(record.DownloadAddress(), "https://stillreel.example/x");
}

TEST(UpdateRecord, OnlyWebAddressesAreOpened)
{
    EXPECT_TRUE(update::IsWebAddress(QStringLiteral("https://stillreel.example/download")));
    EXPECT_TRUE(update::IsWebAddress(QStringLiteral("HTTP://stillreel.example/")));
    for (const char* address : {"file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm", "ftp://host/x",
             "https://", "", "stillreel.example/download"})
        EXPECT_FALSE(update::IsWebAddress(QString::fromLatin1(address))) << address;
}

}  // namespace
