// The open-video dialog's filter and the folder it starts in.
#include "app/videoDialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/uiManager.h"
#include "videoFixtures.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

}  // namespace

TEST(VideoDialog, FilterKeepsItsExtensionsInOrderAndAddsTheCommonOnes)
{
    EXPECT_EQ(VideoFileFilter(),
        QStringLiteral("All Supported Formats (*.mpeg *.mpg *.avi *.divx *.m2v *.m2ts *.mkv *.wmv *.mov *.mp4 *.m4v "
                       "*.3gp *.flv *.rmvb *.rm *.webm *.ogv *.ogg *.ts *.mts *.vob *.mxf *.asf *.dv *.y4m);;"
                       "All Files (*.*)"));
}

// The last video's folder while it exists, else the videos folder, else home; never empty.
TEST(VideoDialog, StartsInTheLastVideosFolderThenVideosThenHome)
{
    testing_support::TempFolder temp;
    const QString root = QString::fromStdString(temp.Path());
    const QString home = root + "/home";
    const QString videos = root + "/videos";
    const QString recent = root + "/recent";
    ASSERT_TRUE(QDir().mkpath(home));
    ASSERT_TRUE(QDir().mkpath(videos));
    ASSERT_TRUE(QDir().mkpath(recent));
    const ScopedVariable homeVariable("HOME", home.toUtf8());
    const ScopedVariable config("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    {
        const ScopedVariable exported("XDG_VIDEOS_DIR", videos.toUtf8());
        EXPECT_EQ(app::VideoDialogFolder(recent + "/clip.mp4"), recent);
        EXPECT_EQ(app::VideoDialogFolder(QString()), videos);
        ASSERT_TRUE(QDir(recent).removeRecursively());
        EXPECT_EQ(app::VideoDialogFolder(recent + "/clip.mp4"), videos);
    }
    const ScopedVariable missing("XDG_VIDEOS_DIR", (root + "/gone").toUtf8());
    EXPECT_EQ(app::VideoDialogFolder(QString()), home);
}
