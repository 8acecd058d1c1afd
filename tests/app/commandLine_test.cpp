#include "app/commandLine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using app::VideoArgument;

// What a desktop's "Open with" passes opens; anything else starts the program as usual.
TEST(CommandLine, OnlyOneExistingFileIsAVideoToOpen)
{
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("clip one.avi"));
    QFile file(video);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString program = QStringLiteral("stillreel");

    EXPECT_EQ(VideoArgument({program, video}), video);
    // A relative name is taken from the folder the program was started in.
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EQ(VideoArgument({program, QStringLiteral("clip one.avi")}), video);
    QDir::setCurrent(before);

    EXPECT_TRUE(VideoArgument({program}).isEmpty());
    EXPECT_TRUE(VideoArgument({program, video, video}).isEmpty());
    EXPECT_TRUE(VideoArgument({program, folder.filePath(QStringLiteral("missing.avi"))}).isEmpty());
    EXPECT_TRUE(VideoArgument({program, folder.path()}).isEmpty());
}

}  // namespace
