// The release tool writes a record that the update check reads back as written.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "update/updateRecord.h"

namespace {

int RunTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(SRLUPD_EXECUTABLE), arguments);
    if (!tool.waitForFinished(10000))
        return -1;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

TEST(Srlupd, WritesARecordTheCheckReadsAndRefusesWhatWouldNotWork)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("srl.upd"));
    ASSERT_EQ(RunTool({"4.1.2.8", "Stillreel 4.1.2.8 \u00e9t\u00e9", "https://stillreel.example/get/4.1.2.8", file}), 0);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    ASSERT_EQ(bytes.size(), 333);
    update::TUpdateInfoRecord record;
    EXPECT_EQ(update::EvaluateUpdateBody(bytes.toStdString(), 4127, record), update::StatusNewer);
    EXPECT_EQ(record.VersionNumber(), 4128);
    EXPECT_EQ(record.VersionName(), "Stillreel 4.1.2.8 \xe9t\xe9");
    EXPECT_EQ(record.DownloadAddress(), "https://stillreel.example/get/4.1.2.8");

    const QString refused = folder.filePath(QStringLiteral("refused.upd"));
    for (const QStringList& arguments :
         {QStringList{"3.9.9.9", "n", "https://stillreel.example/", refused},
             QStringList{"4128", QString(65, QLatin1Char('n')), "https://stillreel.example/", refused},
             QStringList{"4128", "n", "file:///etc/passwd", refused}}) {
        EXPECT_EQ(RunTool(arguments), 1) << arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(refused));
}

}  // namespace
