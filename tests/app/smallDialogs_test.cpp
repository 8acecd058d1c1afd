// The about box, the notify box and the progress window on the X server.
#include "app/aboutForm.h"
#include "app/notifyForm.h"
#include "app/progressForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "platform/appFolder.h"
#include "widgets/FSProgressBar.h"
#include "widgets/Image.h"
#include "widgets/MyButtonEx.h"

namespace {

// Receives what the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

class SmallDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs the xcb platform on an X server";
        QApplication::setApplicationName(QStringLiteral("Stillreel"));
        for (const char* scheme : {"https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
    }
    void TearDown() override
    {
        TaboutDlg::BeforeExecute = nullptr;
        TnotifyDlg::BeforeExecute = nullptr;
        for (const char* scheme : {"https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    // Runs `work` on the shown box once it is up; a box still open afterwards is closed and noted.
    template <typename Dialog>
    void WhileShown(Dialog& box, const std::function<void()>& work)
    {
        QTimer::singleShot(0, &box, [&box, work, this] {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
            work();
            QApplication::processEvents();
            if (box.isVisible()) {
                leftOpen = true;
                box.reject();
            }
        });
    }

    UrlCatcher catcher;
    bool leftOpen = false;
};

TEST_F(SmallDialogs, AboutClosesOnItsPictureButNotOnItsLines)
{
    bool shown = false;
    TaboutDlg::BeforeExecute = [&](TaboutDlg& box) {
        shown = true;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("About Stillreel"));
        EXPECT_EQ(box.size(), QSize(570, 330));
        EXPECT_EQ(box.Image1->Picture().size(), QSize(570, 330));
        EXPECT_EQ(box.Label1->text(), QStringLiteral("Stillreel v4.1 for Linux"));
        EXPECT_EQ(box.lbHome->pos(), QPoint(16, 72));
        // The library in use: the one beside this (writable) copy.
        EXPECT_EQ(box.lbLibrary->toolTip() + QLatin1Char('/'), QString::fromStdString(platform::ApplicationFolder()));
        EXPECT_TRUE(box.lbLibrary->text().startsWith(QStringLiteral("Library: ")));
        WhileShown(box, [&box] {
            QTest::mouseClick(box.lbHome, Qt::LeftButton);
            QTest::mouseClick(box.Label1, Qt::LeftButton);
            QApplication::processEvents();
            EXPECT_TRUE(box.isVisible());
            QTest::mouseClick(box.Image1, Qt::LeftButton, {}, QPoint(300, 250));
        });
    };
    app::ShowAbout(nullptr);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(leftOpen) << "a click on the picture closes the box";
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://stillreel.example/index.html"))});

    TaboutDlg::BeforeExecute = [this](TaboutDlg& box) {
        WhileShown(box, [&box] { QTest::keyClick(&box, Qt::Key_Escape); });
    };
    app::ShowAbout(nullptr);
    EXPECT_FALSE(leftOpen) << "Esc closes the box";
}

TEST_F(SmallDialogs, NotifyOpensItsLinkAndClosesWithOkOrEsc)
{
    const QString gone = QStringLiteral("/no/such/folder/any/more");
    TnotifyDlg::BeforeExecute = [&](TnotifyDlg& box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Notify"));
        EXPECT_EQ(box.size(), QSize(384, 170));
        EXPECT_EQ(box.lbTitle->text(), QStringLiteral("Saved in..."));
        WhileShown(box, [&box] {
            QTest::mouseClick(box.lbLink, Qt::LeftButton);
            box.btnOk->Click();
        });
    };
    app::ShowNotify(nullptr, QStringLiteral("Saved in..."), gone);
    EXPECT_FALSE(leftOpen) << "OK closes the box";
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(gone)});

    TnotifyDlg::BeforeExecute = [this](TnotifyDlg& box) {
        WhileShown(box, [&box] { QTest::keyClick(&box, Qt::Key_Escape); });
    };
    app::ShowNotify(nullptr, QStringLiteral("Saved in..."), gone);
    EXPECT_FALSE(leftOpen) << "Esc closes the box";
}

TEST_F(SmallDialogs, ProgressWindowStaysOnTopCentredOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 100, 900, 600);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    TprogressDlg progress(&owner);
    progress.ProgressBar->SetMax(40);
    progress.Open();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(progress.size(), QSize(390, 94));
    EXPECT_LE((progress.geometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(progress.ProgressBar->geometry(), QRect(21, 39, 348, 16));
    // What the screen shows right after the call: a quarter of the bar filled.
    progress.SetPosition(10);
    const QImage shown = progress.screen()->grabWindow(progress.winId()).toImage();
    ASSERT_EQ(shown.size(), QSize(390, 94));
    EXPECT_NE(shown.pixel(21 + 40, 47), shown.pixel(21 + 300, 47));
    progress.SetPosition(40);
    const QImage full = progress.screen()->grabWindow(progress.winId()).toImage();
    EXPECT_EQ(full.pixel(21 + 40, 47), full.pixel(21 + 300, 47));
}

}  // namespace

#include "smallDialogs_test.moc"
